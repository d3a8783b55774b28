#pragma once

#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UITabBarItem.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUIEmotion.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// App-wide appearance set-up and small factories of themed components. Main thread.
class QDUIHelper {
public:
    // Run once before the first screen (later calls do nothing): registers the light and dark
    // templates with the component framework's configuration, so they apply on its first use,
    // and makes bar buttons and the framework's buttons ignore the touch-up of a repeated tap.
    static void registerAppearance();

    // The platform's alert keeps its own look: nothing to customise.
    static void customAlertControllerAppearance() { }
    // Pop-ups made afterwards: theme background and separator colours, and a mask that follows
    // the theme; pop-up menus: separators in the theme's separator colour, titles in its tint.
    static void customPopupAppearance();

    // A tab bar item with the title, image and tag, showing the selected image while selected.
    static std::shared_ptr<UITabBarItem> tabBarItemWithTitle(
        std::string title, std::optional<UIImage> image, std::optional<UIImage> selectedImage, int tag);

    // A 200 x 40 button filled with the theme tint, white bold title.
    static std::shared_ptr<QMUIButton> generateDarkFilledButton();
    // A 200 x 40 button tinted with the theme tint over a pale version of it, with a thin border.
    static std::shared_ptr<QMUIButton> generateLightBorderedButton();
    // A round-ended button with a title and border in the colour.
    static std::shared_ptr<QMUIButton> generateGhostButtonWithColor(const UIColor& color);

    // The eight emotions ("[微笑]"... named "emotion_01"...), made once for the process; their
    // pictures start loading when they are made.
    using Emotions = std::vector<std::shared_ptr<QMUIEmotion>>;
    static const Emotions& qmuiEmotions();
    // Off the main thread: each emotion's picture of its identifier in the theme's current tint;
    // the pictures are set on the main thread (emotions gone by then are skipped).
    static void asyncLoadImages(const Emotions& emotions);
    // The emotions' pictures in the tint of the theme now current.
    static void updateEmotionImages();

    // Presents on the top screen the notice that a photo could not be saved for lack of access.
    static void showAlertWhenSavedPhotoFailureByPermissionDenied();

    // "%.2fM" from 1,048,576 bytes, "%.2fK" from 1024, else "%.2fB" (single-precision division).
    static std::string humanReadableFileSize(std::int64_t bytes);

    // A 4 x 88 opaque vertical gradient from the colour (clear when none) at the top to the colour
    // laid at alpha 0.86 over white at the bottom.
    static UIImage navigationBarBackgroundImageWithThemeColor(const std::optional<UIColor>& color);

    // Calls the block with each code-like word of the text ("[obj method:]", "a.b(c)"), in order,
    // with its byte offset and length in the text.
    using CodeStringBlock
        = std::function<void(std::string_view code, std::size_t offset, std::size_t length)>;
    static void enumerateCodeString(std::string_view text, const CodeStringBlock& block);
};
