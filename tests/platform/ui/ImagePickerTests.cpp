#include "platform/foundation/FileSystem.h"
#include "platform/ui/device/DeviceShellPageCommands.h"
#include "platform/ui/photos/PhotoLibrary.h"
#include "platform/ui/photos/UIImagePickerController.h"
#include "platform/ui/qmui/QMUIAssetsManager.h"
#include "tests/platform/ui/ControllerTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class PickRecorder : public UIImagePickerControllerDelegate {
public:
    void imagePickerControllerDidFinishPickingMediaWithInfo(
        UIImagePickerController& picker, const UIImagePickerMediaInfo& info) override
    {
        picked.push_back(info);
        picker.dismiss(true);
    }
    void imagePickerControllerDidCancel(UIImagePickerController& picker) override
    {
        ++cancels;
        UIImagePickerControllerDelegate::imagePickerControllerDidCancel(picker);
    }
    std::vector<UIImagePickerMediaInfo> picked;
    int cancels = 0;
};

class ImagePicker : public uitest::ControllerTest {
protected:
    void SetUp() override
    {
        ControllerTest::SetUp();
        PhotoLibrary::setDirectory(dir.path() / "Photos");
        QMUIAssetsManager::sharedInstance().resetForTesting();
        root = std::make_shared<UIViewController>();
        window->setRootViewController(root);
        drain();
        picker = std::make_shared<UIImagePickerController>();
        picker->setDelegate(recorder);
    }
    void TearDown() override
    {
        PhotoLibrary::setDirectory({});
        QMUIAssetsManager::sharedInstance().resetForTesting();
        ControllerTest::TearDown();
    }

    void put(const std::string& name, const Data& bytes)
    {
        ASSERT_TRUE(FileSystem::writeFileAtomically(dir.path() / "Photos" / name, bytes));
    }

    void present()
    {
        ASSERT_TRUE(root->present(picker, false));
        drain();
    }

    zvtest::TempDir dir;
    std::shared_ptr<UIViewController> root;
    std::shared_ptr<UIImagePickerController> picker;
    std::shared_ptr<PickRecorder> recorder = std::make_shared<PickRecorder>();
};

}

TEST_F(ImagePicker, PicksPicturesOfTheLibraryFolderByName)
{
    put("b-photo.png", *UIImage::filled(UIColor::red(), { 30, 20 }).pngData());
    put("a-photo.jpg", *UIImage::filled(UIColor::blue(), { 8, 8 }).jpegData(0.9));
    put(".hidden.png", *UIImage::filled(UIColor::red(), { 2, 2 }).pngData());
    ASSERT_TRUE(FileSystem::createDirectories(dir.path() / "Photos" / "album"));
    EXPECT_EQ(UIImagePickerController::libraryFileNames(),
        (std::vector<std::string> { "a-photo.jpg", "b-photo.png" }));

    picker->setAllowsEditing(true);
    present();
    // The shell's command finds the shown picker and picks through it.
    EXPECT_EQ(runPageCommand("pick-photo", "b-photo.png"),
        std::optional<std::optional<std::string>>(std::optional<std::string>()));
    ASSERT_EQ(recorder->picked.size(), 1u);
    const auto& info = recorder->picked[0];
    EXPECT_EQ(info.mediaType, "public.image");
    ASSERT_TRUE(info.originalImage);
    EXPECT_EQ(info.originalImage->size(), (CGSize { 30, 20 }));
    EXPECT_EQ(info.originalImage->pixel(3, 3), UIColor::red().rgba());
    ASSERT_TRUE(info.editedImage);
    EXPECT_EQ(info.fileURL, dir.path() / "Photos" / "b-photo.png");
    drain();
    EXPECT_FALSE(root->presentedViewController());

    // Without editing there is no edited picture.
    auto plain = std::make_shared<UIImagePickerController>();
    plain->setDelegate(recorder);
    EXPECT_FALSE(plain->pick("a-photo.jpg"));
    EXPECT_FALSE(recorder->picked.back().editedImage);
    EXPECT_TRUE(recorder->picked.back().originalImage);
}

TEST_F(ImagePicker, FilesThatAreNoPicturesAreRefusedWithAReason)
{
    put("notes.txt", Data { 'h', 'i' });
    put("broken.jpg", Data { 0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F' });
    put("clip.mp4", Data { 0, 0, 0, 0x18, 'f', 't', 'y', 'p' });
    // Sparse: huge on disk listing, cheap to make.
    put("huge.png", Data { 0x89, 'P', 'N', 'G' });
    std::filesystem::resize_file(
        dir.path() / "Photos" / "huge.png", UIImagePickerController::maxFileBytes + 1);
    present();

    struct Case {
        std::string name;
        long code;
    };
    const std::vector<Case> cases = {
        { "notes.txt", UIImagePickerController::notAnImage },
        { "broken.jpg", UIImagePickerController::damagedImage },
        { "huge.png", UIImagePickerController::fileTooLarge },
        { "missing.png", UIImagePickerController::fileNotFound },
        { "../Photos/notes.txt", UIImagePickerController::fileNotFound },
    };
    for (const auto& c : cases) {
        auto error = picker->pick(c.name);
        ASSERT_TRUE(error) << c.name;
        EXPECT_EQ(error->domain, UIImagePickerController::errorDomain);
        EXPECT_EQ(error->code, c.code) << c.name;
        EXPECT_EQ(picker->statusText(), error->localizedDescription()) << c.name;
    }
    EXPECT_TRUE(recorder->picked.empty());
    auto shell = runPageCommand("pick-photo", "notes.txt");
    ASSERT_TRUE(shell && *shell);
    EXPECT_EQ(**shell, "pick-photo: “notes.txt”不是图片。");

    // A video reaches the delegate as such, without a picture.
    EXPECT_FALSE(picker->pick("clip.mp4"));
    ASSERT_EQ(recorder->picked.size(), 1u);
    EXPECT_EQ(recorder->picked[0].mediaType, "public.movie");
    EXPECT_FALSE(recorder->picked[0].originalImage);
}
