#include "platform/ui/Renderer.h"
#include "platform/ui/UIBezierPath.h"
#include "platform/ui/UIGraphics.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUICommonViewController.h"
#include "platform/ui/qmui/QMUILabel.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"
#include "platform/ui/qmui/QMUINavigationController.h"
#include "platform/ui/qmui/QMUIPieProgressView.h"
#include "platform/ui/qmui/QMUITextView.h"
#include "tests/platform/ui/ControllerTestSupport.h"
#include "tests/platform/ui/GoldenImage.h"

#include <gtest/gtest.h>

namespace {

class QmuiRendering : public uitest::ControllerTest {
protected:
    void TearDown() override
    {
        QMUIModalPresentationViewController::hideAllVisibleModalPresentationViewControllerIfCan();
        uitest::ControllerTest::TearDown();
    }
};

UIColor hexColour(unsigned rgb, CGFloat alpha = 1)
{
    return { ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha };
}

class TitlePage : public QMUICommonViewController {
public:
    void initSubviews() override
    {
        view()->setBackgroundColor(UIColor::white());
        setTitle("详情");
        auto poster = UIView::create(CGRect { 0, 91, 390, 220 });
        poster->setBackgroundColor(hexColour(0x1D1942));
        view()->addSubview(poster);
        auto name = UIView::create<QMUILabel>(CGRect { 24, 330, 342, 30 });
        name->setText("长安十二时辰");
        name->setFont(UIFont::systemFont(20, UIFont::Weight::medium));
        name->setTextColor(hexColour(0x1D1942));
        view()->addSubview(name);
        auto tag = UIView::create<QMUILabel>();
        tag->setText("独播");
        tag->setFont(UIFont::systemFont(12));
        tag->setTextColor(hexColour(0x1D1942, 0.5));
        tag->setBackgroundColor(hexColour(0xF3F5F9));
        tag->setContentEdgeInsets({ 2, 8, 2, 8 });
        tag->layer()->setCornerRadius(4);
        tag->sizeToFit();
        tag->setFrame({ { 24, 370 }, tag->frame().size });
        view()->addSubview(tag);
    }
};

}

TEST_F(QmuiRendering, BottomSheetOverAScreen)
{
    auto nav = std::make_shared<QMUINavigationController>(std::make_shared<TitlePage>());
    window->setRootViewController(nav);
    drain();

    auto sheet = std::make_shared<QMUIModalPresentationViewController>();
    sheet->animationStyle = QMUIModalPresentationAnimationStyle::slide;
    auto panel = UIView::create(CGRect { 0, 0, 390, 435 });
    panel->setBackgroundColor(UIColor::white());
    panel->layer()->setCornerRadius(16);
    panel->layer()->setMaskedCorners(kCALayerMinXMinYCorner | kCALayerMaxXMinYCorner);
    auto title = UIView::create<QMUILabel>(CGRect { 24, 24, 200, 22 });
    title->setText("选集");
    title->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    title->setTextColor(hexColour(0x1D1942));
    panel->addSubview(title);
    auto close = UIView::create<QMUIButton>(CGRect { 326, 16, 44, 36 });
    close->setTitle("关闭");
    close->setFont(UIFont::systemFont(14));
    close->setTitleColor(hexColour(0x1D1942, 0.6));
    panel->addSubview(close);
    for (int i = 0; i < 6; ++i) {
        auto episode
            = UIView::create<QMUIButton>(CGRect { 24.0 + (i % 3) * 118, 70.0 + (i / 3) * 56, 106, 44 });
        episode->setTitle("第 " + std::to_string(i + 1) + " 集");
        episode->setFont(UIFont::systemFont(14));
        episode->setTitleColor(i == 0 ? hexColour(0x03C8B4) : hexColour(0x1D1942));
        episode->setBackgroundColor(hexColour(0xF3F5F9));
        episode->setCornerRadius(8);
        panel->addSubview(episode);
    }
    auto pie = UIView::create<QMUIPieProgressView>(CGRect { 24, 200, 24, 24 });
    pie->setTintColor(hexColour(0x1D1942));
    pie->setBorderInset(1);
    pie->setProgress(0.66);
    panel->addSubview(pie);
    auto feedback = UIView::create<QMUITextView>(CGRect { 24, 244, 342, 120 });
    feedback->setBackgroundColor(hexColour(0xF3F5F9));
    feedback->layer()->setCornerRadius(8);
    feedback->setFont(UIFont::systemFont(14));
    feedback->setTextContainerInset({ 16, 24, 16, 24 });
    feedback->setPlaceholder("请输入文字");
    feedback->setPlaceholderColor(hexColour(0x1D1942, 0.2));
    panel->addSubview(feedback);
    sheet->setContentView(panel);
    sheet->layoutBlock = [panel](CGRect bounds, CGFloat keyboard, CGRect) {
        panel->setFrame({ 0, bounds.height() - 435 - keyboard, bounds.width(), 435 });
    };
    sheet->showWithAnimated(true);
    advance(1);

    EXPECT_TRUE(uitest::matchesGolden(Renderer::renderScreen(1), "qmui_bottom_sheet"));
}
