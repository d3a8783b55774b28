#pragma once

#include "platform/foundation/NSError.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UIViewController.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

class UIButton;
class UIImageView;
class UILabel;

// What can be shared: pictures and texts (links travel as texts).
using UIActivityItem = std::variant<UIImage, std::string>;

// The share sheet. This device has one place to share to: the share outbox, a folder that a person
// opens with a file manager. Presented, the sheet rises from the bottom over the dimmed screen with
// a preview of the items, the outbox button and "取消". Choosing the outbox takes the sheet down
// and writes the items into a new folder of the outbox (pictures as PNG, texts as UTF-8 files,
// numbered in item order); the completion then reports, on the main queue.
class UIActivityViewController : public UIViewController {
public:
    // The activity type of the share outbox.
    static constexpr const char* shareOutboxActivityType = "zentavo.activity.shareOutbox";
    static constexpr const char* errorDomain = "UIActivityErrorDomain";
    enum ErrorCode : long { nothingToShare = 1, writeFailed = 2 };

    // The activity chosen (none when cancelled), whether it completed, and its error.
    using CompletionWithItemsHandler = std::function<void(
        std::optional<std::string> activityType, bool completed, std::optional<NSError> error)>;

    // Application activities are not offered on this device; the parameter keeps the platform's form.
    explicit UIActivityViewController(
        std::vector<UIActivityItem> activityItems, std::vector<std::string> applicationActivities = {});

    std::string className() const override { return "UIActivityViewController"; }

    // "ShareOutbox" in the app container's home unless set; an empty path goes back to it.
    static std::filesystem::path shareOutboxDirectory();
    static void setShareOutboxDirectory(std::filesystem::path directory);

    const std::vector<UIActivityItem>& activityItems() const { return m_items; }
    void setCompletionWithItemsHandler(CompletionWithItemsHandler handler)
    {
        m_completion = std::move(handler);
    }

    // As the outbox button: the sheet goes (when presented), the items are written, the completion
    // reports the folder's activity type, or an error when there is nothing to share (no item with
    // a picture or a text) or the folder cannot be written. Only the first choice counts.
    void chooseShareOutbox();
    // As "取消": the sheet goes and the completion reports no activity, not completed.
    void cancel();
    // The folder the last share went into, once written.
    const std::optional<std::filesystem::path>& lastShareFolder() const { return *m_lastFolder; }

    void loadView() override;

protected:
    void layoutChildren() override;

private:
    void finishChoice(std::function<void()> work);

    std::vector<UIActivityItem> m_items;
    CompletionWithItemsHandler m_completion;
    bool m_chosen = false;
    // Shared with the writer, which may finish after the sheet is gone.
    std::shared_ptr<std::optional<std::filesystem::path>> m_lastFolder;

    std::shared_ptr<UIView> m_dimming;
    std::shared_ptr<UIView> m_panel;
    std::shared_ptr<UILabel> m_titleLabel;
    std::shared_ptr<UIImageView> m_preview;
    std::shared_ptr<UILabel> m_previewText;
    std::shared_ptr<UIButton> m_outboxButton;
    std::shared_ptr<UIButton> m_cancelButton;
};
