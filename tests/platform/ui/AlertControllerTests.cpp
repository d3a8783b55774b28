#include "platform/ui/UIAlertController.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>

using uitest::recorder;
using Lines = std::vector<std::string>;

namespace {

class AlertController : public uitest::ControllerTest {
protected:
    std::shared_ptr<uitest::Recording<>> appearedRoot()
    {
        auto root = recorder("A", journal);
        window->setRootViewController(root);
        drain();
        take();
        return root;
    }
};

// Titles of the alert's button rows, in view order.
std::vector<std::string> buttonTitles(UIView& view)
{
    std::vector<std::string> titles;
    if (view.className() == "UIAlertActionView")
        titles.push_back(view.accessibilityLabel());
    for (const auto& sub : view.subviews()) {
        auto more = buttonTitles(*sub);
        titles.insert(titles.end(), more.begin(), more.end());
    }
    return titles;
}

std::shared_ptr<UIView> findButton(UIView& view, const std::string& title)
{
    for (const auto& sub : view.subviews()) {
        if (sub->className() == "UIAlertActionView" && sub->accessibilityLabel() == title)
            return sub;
        if (auto found = findButton(*sub, title))
            return found;
    }
    return nullptr;
}

}

TEST_F(AlertController, ChoosingAnActionDismissesAndThenRunsItsHandler)
{
    auto a = appearedRoot();
    auto alert = UIAlertController::make("确认要删除吗？", "", UIAlertControllerStyle::alert);
    std::vector<std::string> chosen;
    alert->addAction(UIAlertAction::make("取消", UIAlertActionStyle::cancel));
    alert->addAction(UIAlertAction::make("确认", UIAlertActionStyle::destructive,
        [&](UIAlertAction& action) { chosen.push_back(action.title()); }));
    a->present(alert, true);
    advance(0.35);
    // The presenter stays on screen under the alert.
    EXPECT_TRUE(take().empty());
    EXPECT_TRUE(inWindow(*a));
    EXPECT_EQ(a->presentedViewController(), alert);

    EXPECT_FALSE(alert->tapAction("删除"));
    EXPECT_TRUE(alert->tapAction("确认"));
    EXPECT_TRUE(chosen.empty());
    EXPECT_EQ(a->presentedViewController(), nullptr);
    // Only the first choice counts.
    EXPECT_FALSE(alert->tapAction("取消"));
    advance(0.35);
    EXPECT_EQ(chosen, Lines({ "确认" }));
    EXPECT_FALSE(inWindow(*alert));
    EXPECT_TRUE(take().empty());
}

TEST_F(AlertController, ButtonsAreOrderedByStyleAndTouchesChooseThem)
{
    auto a = appearedRoot();
    auto pair = UIAlertController::make("", "message");
    pair->addAction(UIAlertAction::make("确定", UIAlertActionStyle::defaultStyle));
    pair->addAction(UIAlertAction::make("取消", UIAlertActionStyle::cancel));
    // A second cancel action is refused.
    pair->addAction(UIAlertAction::make("关闭", UIAlertActionStyle::cancel));
    EXPECT_EQ(pair->actions().size(), 2u);
    EXPECT_EQ(buttonTitles(*pair->view()), Lines({ "取消", "确定" }));
    pair->view()->layoutIfNeeded();
    auto cancel = findButton(*pair->view(), "取消");
    auto ok = findButton(*pair->view(), "确定");
    ASSERT_TRUE(cancel && ok);
    // Side by side, cancel on the left.
    EXPECT_EQ(cancel->frame().minY(), ok->frame().minY());
    EXPECT_LT(cancel->frame().minX(), ok->frame().minX());

    auto sheet = UIAlertController::make("上传头像", "", UIAlertControllerStyle::actionSheet);
    bool cancelled = false;
    sheet->addAction(
        UIAlertAction::make("取消", UIAlertActionStyle::cancel, [&](UIAlertAction&) { cancelled = true; }));
    sheet->addAction(UIAlertAction::make("拍照", UIAlertActionStyle::destructive));
    sheet->addAction(UIAlertAction::make("相册选取", UIAlertActionStyle::defaultStyle));
    EXPECT_EQ(buttonTitles(*sheet->view()), Lines({ "拍照", "相册选取", "取消" }));
    a->present(sheet, false);
    drain();
    sheet->view()->layoutIfNeeded();
    auto sheetCancel = findButton(*sheet->view(), "取消");
    auto album = findButton(*sheet->view(), "相册选取");
    ASSERT_TRUE(sheetCancel && album);
    // The cancel button sits apart, at the bottom above the home indicator.
    CGRect cancelFrame = sheetCancel->convert(sheetCancel->bounds(), nullptr);
    EXPECT_EQ(cancelFrame.maxY(), 844 - 34);
    EXPECT_LT(album->convert(album->bounds(), nullptr).maxY(), cancelFrame.minY());

    sheetCancel->touchesBegan({}, nullptr);
    sheetCancel->touchesEnded({}, nullptr);
    drain();
    advance(0.35);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(a->presentedViewController(), nullptr);
}

TEST_F(AlertController, TextFieldTakesTheKeyboardAndItsTextReachesTheHandler)
{
    auto a = appearedRoot();
    auto alert = UIAlertController::make("", "");
    alert->addTextField([](UITextField& field) { field.setPlaceholder("code"); });
    std::string entered;
    alert->addAction(UIAlertAction::make("确定", UIAlertActionStyle::defaultStyle,
        [&](UIAlertAction&) { entered = alert->textFields()[0]->text(); }));
    alert->addAction(UIAlertAction::make("取消", UIAlertActionStyle::cancel));
    ASSERT_EQ(alert->textFields().size(), 1u);
    EXPECT_EQ(alert->textFields()[0]->placeholder(), "code");
    a->present(alert, true);
    EXPECT_FALSE(alert->textFields()[0]->isFirstResponder());
    advance(0.35);
    EXPECT_TRUE(alert->textFields()[0]->isFirstResponder());
    // The field sits in the box, above the buttons.
    auto field = alert->textFields()[0];
    auto ok = findButton(*alert->view(), "确定");
    ASSERT_TRUE(ok);
    EXPECT_EQ(field->superview(), ok->superview());
    EXPECT_LT(field->frame().maxY(), ok->frame().minY());

    field->setText("8888");
    EXPECT_TRUE(alert->tapAction("确定"));
    EXPECT_FALSE(field->isFirstResponder());
    advance(0.35);
    EXPECT_EQ(entered, "8888");

    // Action sheets take no text fields.
    auto sheet = UIAlertController::make("", "", UIAlertControllerStyle::actionSheet);
    sheet->addTextField();
    EXPECT_TRUE(sheet->textFields().empty());
}
