// The personal data page with the pages it opens, against the sample API: its rows, edits of
// the shared profile seen on return, the avatar upload and its JPEG quality.

#include "app/Core/Models/ZV_UserInfoModel.h"
#include "app/MainController/Mine/BindPhone/ZV_BindPhoneVC.h"
#include "app/MainController/Mine/ChangeName/ZV_ChangeNameVC.h"
#include "app/MainController/Mine/PersonalData/ZV_PersonalDataCollCell.h"
#include "app/MainController/Mine/PersonalData/ZV_PersonalDataVC.h"
#include "platform/foundation/FileSystem.h"
#include "platform/json/JSON.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/photos/PhotoLibrary.h"
#include "platform/ui/qmui/QMUITextField.h"
#include "tests/app/support/AccountTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

class PersonalDataScreenTest : public AccountScreenTest {
protected:
    // A new account, signed in, and its profile on the page.
    std::shared_ptr<ZV_PersonalDataVC> openSignedIn()
    {
        phone = freshPhone();
        std::optional<std::string> token = registerByPhone(phone, "pw");
        if (!token)
            return nullptr;
        setToken(*token);
        profile = std::make_shared<ZV_UserInfoModel>(JSON::parse(accounts().profileForToken(*token)->dump()));
        auto page = std::make_shared<ZV_PersonalDataVC>();
        page->setModel(profile);
        push(page);
        return page;
    }

    std::shared_ptr<ZV_PersonalDataCollCell> cell(ZV_PersonalDataVC& page, ZV_PersonalDataRowType row)
    {
        window->layoutIfNeeded();
        page.collectionView()->layoutIfNeeded();
        return std::dynamic_pointer_cast<ZV_PersonalDataCollCell>(
            page.collectionView()->cellForItem(IndexPath(static_cast<int>(row), 0)));
    }

    void select(ZV_PersonalDataVC& page, ZV_PersonalDataRowType row)
    {
        page.didSelectItem(*page.collectionView(), IndexPath(static_cast<int>(row), 0));
        settle();
    }

    static bool tipShown(const std::string& text)
    {
        std::vector<QMUITips::Info> tips = QMUITips::visibleTips();
        return !tips.empty() && tips.back().text == text;
    }

    std::string phone;
    std::shared_ptr<ZV_UserInfoModel> profile;
};

}

TEST_F(PersonalDataScreenTest, RowsShowTheProfileOrTheirEmptyForms)
{
    auto page = std::make_shared<ZV_PersonalDataVC>();
    push(page);
    struct Row {
        ZV_PersonalDataRowType type;
        const char* title;
        const char* value;
        CGFloat height;
    };
    for (const Row& row : { Row { ZV_PersonalDataRowType::head, "设置头像", "", 100 },
             Row { ZV_PersonalDataRowType::nickName, "昵称", "", 58 },
             Row { ZV_PersonalDataRowType::userName, "用户名（可用于登录）", "", 58 },
             Row { ZV_PersonalDataRowType::phone, "绑定手机", "暂未绑定", 58 },
             Row { ZV_PersonalDataRowType::mail, "绑定邮箱", "暂未绑定", 58 },
             Row { ZV_PersonalDataRowType::pass, "修改密码", "", 58 } }) {
        std::shared_ptr<ZV_PersonalDataCollCell> shown = cell(*page, row.type);
        ASSERT_TRUE(shown) << row.title;
        EXPECT_EQ(shown->titleLb()->text(), row.title);
        EXPECT_EQ(shown->frame().size.height, row.height) << row.title;
        bool head = row.type == ZV_PersonalDataRowType::head;
        EXPECT_EQ(shown->headImageView()->isHidden(), !head) << row.title;
        EXPECT_EQ(shown->iconView()->isHidden(), head) << row.title;
        if (!head) {
            EXPECT_EQ(shown->desLb()->text(), row.value) << row.title;
        }
    }
    EXPECT_EQ(cell(*page, ZV_PersonalDataRowType::phone)->desLb()->textColor().alphaComponent(), 0.3);
}

TEST_F(PersonalDataScreenTest, EditsOfTheSharedProfileShowOnReturn)
{
    std::shared_ptr<ZV_PersonalDataVC> page = openSignedIn();
    ASSERT_TRUE(page);
    EXPECT_EQ(cell(*page, ZV_PersonalDataRowType::mail)->desLb()->text(), "暂未绑定");
    EXPECT_EQ(cell(*page, ZV_PersonalDataRowType::phone)->desLb()->text(), phone);

    // A new nickname, typed with blanks that go as they are.
    select(*page, ZV_PersonalDataRowType::nickName);
    auto name = std::dynamic_pointer_cast<ZV_ChangeNameVC>(navigation->topViewController());
    ASSERT_TRUE(name);
    EXPECT_EQ(name->title(), "修改昵称");
    EXPECT_EQ(name->zv_accountField()->text(), profile->nickname);
    type(*name->zv_accountField(), " 夜航船 ");
    ASSERT_TRUE(tap(*name->zv_saveBtn()));
    ASSERT_TRUE(waitFor([&] { return navigation->topViewController() == page; }));
    EXPECT_EQ(
        api().recordsTo("v1/user/change/nickname").back().parameters->value("new_nickname", ""), " 夜航船 ");
    EXPECT_TRUE(tipShown("昵称修改成功"));
    settle();
    EXPECT_EQ(profile->nickname, " 夜航船 ");
    EXPECT_EQ(cell(*page, ZV_PersonalDataRowType::nickName)->desLb()->text(), " 夜航船 ");

    // An e-mail address bound through its code.
    select(*page, ZV_PersonalDataRowType::mail);
    auto bind = std::dynamic_pointer_cast<ZV_BindPhoneVC>(navigation->topViewController());
    ASSERT_TRUE(bind);
    EXPECT_EQ(bind->title(), "修改绑定邮箱");
    EXPECT_EQ(bind->model, profile);
    std::string email = freshEmail();
    type(*bind->zv_accountField(), email);
    ASSERT_TRUE(tap(*bind->zv_nextBtn()));
    ASSERT_TRUE(passCaptcha());
    ASSERT_TRUE(waitFor([&] { return bind->countdown().isRunning(); }));
    settle();
    ASSERT_EQ(bind->page(), 1);
    type(*bind->zv_codeField(), accounts().lastCode(email).value_or(""));
    ASSERT_TRUE(tap(*bind->zv_nextBtn()));
    ASSERT_TRUE(waitFor([&] { return navigation->topViewController() == page; }));
    settle();
    EXPECT_EQ(profile->email, email);
    std::shared_ptr<ZV_PersonalDataCollCell> mail = cell(*page, ZV_PersonalDataRowType::mail);
    EXPECT_EQ(mail->desLb()->text(), email);
    EXPECT_EQ(mail->desLb()->textColor().alphaComponent(), 1.0);
}

TEST_F(PersonalDataScreenTest, JPEGQualityFollowsThePictureSize)
{
    struct Case {
        CGSize size;
        CGFloat quality;
    };
    for (const Case& c :
        { Case { { 2000, 1600 }, 0.2 }, Case { { 1500, 1500 }, 0.2 }, Case { { 2000, 1000 }, 0.5 },
            Case { { 800, 800 }, 0.5 }, Case { { 1000, 700 }, 1.0 }, Case { { 799, 4000 }, 1.0 } })
        EXPECT_EQ(ZV_PersonalDataVC::jpegQuality(c.size), c.quality) << c.size.width << "x" << c.size.height;
}

TEST_F(PersonalDataScreenTest, APickedPhotoBecomesTheAvatarOnlyWhenTheServerNamesIt)
{
    std::shared_ptr<ZV_PersonalDataVC> page = openSignedIn();
    ASSERT_TRUE(page);
    std::filesystem::path photos = home / "photos";
    FileSystem::createDirectories(photos);
    std::filesystem::copy_file(
        sourceDir() / "app/Resources/Scripts/tour-photos/lake-evening.jpg", photos / "lake.jpg");
    PhotoLibrary::setDirectory(photos);

    auto pick = [&] {
        select(*page, ZV_PersonalDataRowType::head);
        auto sheet = std::dynamic_pointer_cast<UIAlertController>(page->presentedViewController());
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->title(), "上传头像");
        ASSERT_TRUE(sheet->tapAction("相册选取"));
        settle();
        auto picker = std::dynamic_pointer_cast<UIImagePickerController>(page->presentedViewController());
        ASSERT_TRUE(picker);
        EXPECT_FALSE(picker->pick("lake.jpg"));
    };
    std::size_t uploads = 0;
    pick();
    ASSERT_TRUE(waitFor([&] { return tipShown("头像修改成功"); }));
    ++uploads;
    std::vector<testserver::ApiRecord> records = api().recordsTo("v1/user/change/avatar");
    ASSERT_EQ(records.size(), uploads);
    const testserver::FilePart& part = records.back().request.multipart->files.at(0);
    EXPECT_EQ(part.filename, "image.jpg");
    EXPECT_EQ(part.contentType, "image/jpeg");
    EXPECT_EQ(part.data.substr(0, 3), "\xFF\xD8\xFF");
    std::string avatar = profile->avatar;
    std::string name = avatar.substr(avatar.rfind('/') + 1);
    EXPECT_EQ(accounts().upload(name), part.data);
    settle();
    EXPECT_FALSE(page->presentedViewController());
    // The head row shows the picture as the server serves it back.
    std::shared_ptr<ZV_PersonalDataCollCell> head = cell(*page, ZV_PersonalDataRowType::head);
    EXPECT_TRUE(waitFor([&] {
        const std::optional<UIImage>& shown = head->headImageView()->image();
        return shown && shown->pixelWidth() == 1200;
    }));

    // A refusal, and a success that names no picture: the error shows, the avatar stays.
    for (const testserver::ApiReply& reply : { testserver::ApiReply::error(1016, "图片过大"),
             testserver::ApiReply::success(nlohmann::json::object(), "上传成功") }) {
        api().script("v1/user/change/avatar", reply);
        QMUITips::hideAllTips();
        pick();
        ASSERT_TRUE(waitFor([&] { return api().recordsTo("v1/user/change/avatar").size() == uploads + 1; }));
        ++uploads;
        ASSERT_TRUE(waitFor([] {
            return !QMUITips::visibleTips().empty()
                && QMUITips::visibleTips().back().kind == QMUITips::Kind::error;
        }));
        EXPECT_EQ(QMUITips::visibleTips().back().text, reply.msg);
        EXPECT_EQ(profile->avatar, avatar);
        settle();
    }
}
