#include "tools/kitdemo/KitDemoTabsController.h"

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"
#include "platform/ui/segmented/JXSegmentedIndicatorLineView.h"
#include "tools/kitdemo/KitDemoActionPage.h"
#include "tools/kitdemo/KitDemoColors.h"
#include "tools/kitdemo/KitDemoComponentsPage.h"
#include "tools/kitdemo/KitDemoGridPage.h"
#include "tools/kitdemo/KitDemoSystemPage.h"
#include "tools/kitdemo/KitDemoPlayerPage.h"
#include "tools/kitdemo/KitDemoTabBar.h"

namespace {

constexpr CGFloat sheetRowHeight = 48;
const std::vector<std::string> sheetRows = { "流畅 360P", "高清 720P", "超清 1080P" };

// The content of the bottom sheet: a title and a few choices.
std::shared_ptr<UIView> makeSheetContent()
{
    auto sheet = std::make_shared<UIView>();
    sheet->setBackgroundColor(kitdemo::sheet());
    sheet->layer()->setCornerRadius(14);
    sheet->setAccessibilityIdentifier("kitdemo.sheet.content");

    auto title = std::make_shared<UILabel>();
    title->setText("选择清晰度");
    title->setFont(UIFont::boldSystemFont(17));
    title->setTextColor(kitdemo::ink());
    title->setTextAlignment(NSTextAlignment::center);
    title->setFrame({ 0, 12, 390, 32 });
    sheet->addSubview(title);

    CGFloat y = 56;
    for (const auto& text : sheetRows) {
        auto row = std::make_shared<UILabel>();
        row->setText(text);
        row->setFont(UIFont::systemFont(15));
        row->setTextColor(kitdemo::ink());
        row->setTextAlignment(NSTextAlignment::center);
        row->setBackgroundColor(kitdemo::sheetRow());
        row->layer()->setCornerRadius(8);
        row->setClipsToBounds(true);
        row->setFrame({ 20, y, 350, sheetRowHeight - 8 });
        sheet->addSubview(row);
        y += sheetRowHeight;
    }
    return sheet;
}

}

KitDemoTabsController::KitDemoTabsController(std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures)
    : m_loader(std::move(loader))
    , m_pictures(std::move(pictures))
{ }

void KitDemoTabsController::viewDidLoad()
{
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(kitdemo::paper());

    m_pages = std::make_shared<JXSegmentedListContainerView>(
        std::static_pointer_cast<KitDemoTabsController>(sharedFromThis()));

    m_tabs = std::make_shared<KitDemoTabBarDataSource>();
    m_tabs->titles = { "图片", "提示", "弹层", "面板", "系统", "播放", "组件" };
    m_tabs->normalImageInfos = { "off", "off", "off", "off", "off", "off", "off" };
    m_tabs->selectedImageInfos = { "on", "on", "on", "on", "on", "on", "on" };
    m_tabs->badges = { "", "3", "new", "", "", "", "" };

    auto line = std::make_shared<JXSegmentedIndicatorLineView>();
    line->indicatorColor = kitdemo::mint();
    line->indicatorWidth = 12;
    line->indicatorHeight = 3;

    m_tabBar = std::make_shared<JXSegmentedView>();
    m_tabBar->setBackgroundColor(kitdemo::paper());
    m_tabBar->setAccessibilityIdentifier("kitdemo.tabbar");
    m_tabBar->setDataSource(m_tabs);
    m_tabBar->setIndicators({ line });
    m_tabBar->setListContainer(m_pages);

    view()->addSubview(m_pages);
    view()->addSubview(m_tabBar);
    m_tabBar->reloadData();
}

void KitDemoTabsController::viewDidLayoutSubviews()
{
    UIViewController::viewDidLayoutSubviews();
    CGRect bounds = view()->bounds();
    UIEdgeInsets safe = view()->safeAreaInsets();
    CGFloat barTop = bounds.height() - safe.bottom - tabBarHeight;
    m_pages->setFrame({ 0, safe.top, bounds.width(), barTop - safe.top });
    m_tabBar->setFrame({ 0, barTop, bounds.width(), tabBarHeight });
}

int KitDemoTabsController::numberOfLists(JXSegmentedListContainerView&)
{
    return static_cast<int>(m_tabs->titles.size());
}

std::shared_ptr<JXSegmentedListContainerViewListDelegate> KitDemoTabsController::initListAt(
    JXSegmentedListContainerView&, int index)
{
    if (index == 0)
        return std::make_shared<KitDemoGridPage>(m_loader, m_pictures.grid, m_pictures.browser);
    if (index == 1) {
        return std::make_shared<KitDemoActionPage>("提示会在几秒后自己消失，\n不挡住下面的点按。", "显示提示",
            "kitdemo.toast",
            [](KitDemoActionPage& page) { QMUITips::showWithText("已加入收藏", page.view(), 3); });
    }
    if (index == 4)
        return std::make_shared<KitDemoSystemPage>(
            m_pictures.serverURL, m_pictures.dataDir / "images" / "cover-40217.png");
    if (index == 5)
        return std::make_shared<KitDemoPlayerPage>(m_pictures.videoBase);
    if (index == 6)
        return std::make_shared<KitDemoComponentsPage>(m_loader, m_pictures);
    if (index == 3) {
        return std::make_shared<KitDemoActionPage>("应用的选源面板：三条线路，\n选中一条后收起。",
            "打开选源面板", "kitdemo.sources", [](KitDemoActionPage&) { showSourcesPanel(); });
    }
    std::weak_ptr<UIViewController> weakSelf = sharedFromThis();
    return std::make_shared<KitDemoActionPage>("底部弹层从屏幕下方升起，\n点按暗色区域收起。", "打开底部弹层",
        "kitdemo.sheet", [weakSelf](KitDemoActionPage&) {
            if (auto self = std::static_pointer_cast<KitDemoTabsController>(weakSelf.lock()))
                self->showSheet();
        });
}

void KitDemoTabsController::showSourcesPanel()
{
    // A title with three play sources, as the detail page hands it to the app's bottom sheet.
    auto title = std::make_shared<ZV_DetailModel>();
    title->id = "40217";
    title->name = "山海";
    title->playFrom.emplace();
    for (const char* name : { "线路一", "线路二", "线路三" }) {
        auto source = std::make_shared<ZV_DetailDataListPlayFromModel>();
        source->code = name;
        source->name = name;
        title->playFrom->push_back(source);
    }
    // The presenter keeps itself alive while it is shown.
    std::make_shared<ZV_ShowBottomView>()->show(1, title, nullptr);
}

void KitDemoTabsController::showSheet()
{
    if (m_sheet && m_sheet->isVisible())
        return;
    m_sheet = std::make_shared<QMUIModalPresentationViewController>();
    m_sheet->animationStyle = QMUIModalPresentationAnimationStyle::slide;
    m_sheet->setContentView(makeSheetContent());
    m_sheet->layoutBlock
        = [weakSheet = std::weak_ptr(m_sheet)](CGRect bounds, CGFloat keyboardHeight, CGRect) {
              auto sheet = weakSheet.lock();
              if (!sheet)
                  return;
              // Rounded corners only at the top: the bottom ones hang below the screen.
              CGFloat height = 56 + sheetRowHeight * sheetRows.size() + 24 + 14;
              sheet->contentView()->setFrame(
                  { 0, bounds.height() - keyboardHeight - height + 14, bounds.width(), height });
          };
    m_sheet->showWithAnimated(true);
}
