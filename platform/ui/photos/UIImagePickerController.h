#pragma once

#include "platform/foundation/NSError.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/UIViewController.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class UILabel;
class UIImagePickerController;
class UIScrollView;

enum class UIImagePickerControllerSourceType {
    photoLibrary,
    camera,
};

// What was picked: the media type ("public.image" for pictures, "public.movie" for video files),
// the picture (edited is the original when editing is allowed: the picker has no cropping) and the
// file it came from.
struct UIImagePickerMediaInfo {
    std::string mediaType;
    std::optional<UIImage> originalImage;
    std::optional<UIImage> editedImage;
    std::filesystem::path fileURL;
};

// Told on the main thread what the user picked, or that they cancelled. Held weakly.
class UIImagePickerControllerDelegate {
public:
    virtual ~UIImagePickerControllerDelegate() = default;
    // The delegate dismisses the picker itself.
    virtual void imagePickerControllerDidFinishPickingMediaWithInfo(
        UIImagePickerController& picker, const UIImagePickerMediaInfo& info)
        = 0;
    // By default the picker is dismissed (animated).
    virtual void imagePickerControllerDidCancel(UIImagePickerController& picker);
};

// The system's photo picker over the photo library folder (PhotoLibrary): a grid of the folder's
// files in name order under a bar with the title and "取消". A tap on a tile picks that file; the
// device shell's pick-photo command picks by file name. There is no camera on this device.
//
// Files are untrusted: a file that is missing, larger than maxFileBytes, not a PNG or JPEG picture
// (nor a video) or that does not decode is refused with an error that the picker also shows under
// its grid; the delegate then hears nothing.
class UIImagePickerController : public UIViewController {
public:
    static constexpr std::uintmax_t maxFileBytes = 50 * 1024 * 1024;
    // Only this many files of the folder are listed.
    static constexpr std::size_t maxListedFiles = 200;
    static constexpr const char* errorDomain = "UIImagePickerControllerErrorDomain";
    enum ErrorCode : long {
        fileNotFound = 1,
        notAnImage = 2,
        fileTooLarge = 3,
        damagedImage = 4,
        noCamera = 5
    };

    static bool isSourceTypeAvailable(UIImagePickerControllerSourceType type);

    UIImagePickerController();

    std::string className() const override { return "UIImagePickerController"; }

    UIImagePickerControllerSourceType sourceType() const { return m_sourceType; }
    void setSourceType(UIImagePickerControllerSourceType type) { m_sourceType = type; }
    bool allowsEditing() const { return m_allowsEditing; }
    void setAllowsEditing(bool allows) { m_allowsEditing = allows; }
    std::weak_ptr<UIImagePickerControllerDelegate> delegate() const { return m_delegate; }
    void setDelegate(std::weak_ptr<UIImagePickerControllerDelegate> delegate)
    {
        m_delegate = std::move(delegate);
    }

    // The library's files that the picker lists: plain files, hidden ones left out, by name.
    static std::vector<std::string> libraryFileNames();

    // Picks the library file of that name, as a tap on its tile does: the delegate gets it at
    // once. The error, when the file cannot be picked (see above).
    std::optional<NSError> pick(const std::string& fileName);
    // As the "取消" button: the delegate's imagePickerControllerDidCancel.
    void cancel();
    // The message shown under the grid after a refused pick; empty otherwise.
    std::string statusText() const;

    void loadView() override;
    void viewDidLoad() override;

protected:
    void layoutChildren() override;

private:
    std::optional<NSError> pickFile(const std::string& fileName, UIImagePickerMediaInfo& info) const;
    void loadThumbnails();

    UIImagePickerControllerSourceType m_sourceType = UIImagePickerControllerSourceType::photoLibrary;
    bool m_allowsEditing = false;
    std::weak_ptr<UIImagePickerControllerDelegate> m_delegate;
    std::vector<std::string> m_files;

    std::shared_ptr<UIView> m_bar;
    std::shared_ptr<UILabel> m_titleLabel;
    std::shared_ptr<UIView> m_cancelButton;
    std::shared_ptr<UIScrollView> m_grid;
    std::vector<std::shared_ptr<UIView>> m_tiles;
    std::shared_ptr<UILabel> m_statusLabel;
};
