#include "tools/kitdemo/KitDemoComponentsPage.h"

#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUIPopupMenuView.h"
#include "tools/kitdemo/KitDemoColors.h"
#include "tools/kitdemo/KitDemoComponentScreens.h"

#include <functional>

namespace {

struct Entry {
    const char* title;
    const char* identifier;
};

const Entry entries[] = {
    { "时间选择", "kitdemo.datepicker" },
    { "毛玻璃面板", "kitdemo.blur" },
    { "跑马灯公告", "kitdemo.marquee" },
    { "探剧卡片", "kitdemo.cards" },
    { "轮播", "kitdemo.banner" },
    { "弹出菜单", "kitdemo.menu" },
};

constexpr CGFloat buttonWidth = 200;
constexpr CGFloat buttonGap = 16;

}

KitDemoComponentsPage::KitDemoComponentsPage(std::shared_ptr<ImageLoader> loader, KitDemoPictures pictures)
    : m_loader(std::move(loader))
    , m_pictures(std::move(pictures))
{ }

void KitDemoComponentsPage::viewDidLoad()
{
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(kitdemo::mist());
    std::weak_ptr<UIViewController> weakSelf = sharedFromThis();
    for (std::size_t i = 0; i < std::size(entries); ++i) {
        auto button = makeKitDemoButton(entries[i].title, entries[i].identifier);
        button->addAction(UIControlEventTouchUpInside, [weakSelf, i](UIControl&) {
            auto self = std::static_pointer_cast<KitDemoComponentsPage>(weakSelf.lock());
            if (!self)
                return;
            std::shared_ptr<KitDemoScreen> screen;
            switch (i) {
            case 0:
                screen = makeDatePickerScreen();
                break;
            case 1:
                screen = makeBlurScreen(self->m_loader, self->m_pictures);
                break;
            case 2:
                screen = makeMarqueeScreen();
                break;
            case 3:
                screen = makeSwipeCardsScreen(self->m_loader, self->m_pictures);
                break;
            case 4:
                screen = makeBannerScreen(self->m_loader, self->m_pictures);
                break;
            default:
                self->showMenu();
                return;
            }
            self->present(screen, true);
        });
        view()->addSubview(button);
        m_buttons.push_back(button);
    }
}

void KitDemoComponentsPage::viewDidLayoutSubviews()
{
    UIViewController::viewDidLayoutSubviews();
    CGRect bounds = view()->bounds();
    CGFloat y = 48;
    for (const auto& button : m_buttons) {
        CGFloat height = button->intrinsicContentSize().height;
        button->setFrame({ (bounds.width() - buttonWidth) / 2, y, buttonWidth, height });
        y += height + buttonGap;
    }
}

void KitDemoComponentsPage::showMenu()
{
    if (m_menu && m_menu->isShowing())
        return;
    auto hide = [](QMUIPopupMenuButtonItem& item) {
        if (auto menu = item.menuView())
            menu->hideWithAnimated(true);
    };
    m_menu = std::make_shared<QMUIPopupMenuView>();
    m_menu->automaticallyHidesWhenUserTap = true;
    m_menu->maskViewBackgroundColor = UIColor(0, 0, 0, 0.2);
    m_menu->setBackgroundColor(kitdemo::sheet());
    m_menu->itemTitleColor = kitdemo::ink();
    m_menu->shouldShowItemSeparator = true;
    m_menu->setItemSections({ { QMUIPopupMenuButtonItem::itemWithImage(std::nullopt, "回复", hide),
                                  QMUIPopupMenuButtonItem::itemWithImage(std::nullopt, "复制", hide) },
        { QMUIPopupMenuButtonItem::itemWithImage(std::nullopt, "举报这条消息", hide) } });
    m_menu->setSourceView(m_buttons.back());
    m_menu->showWithAnimated(true);
}
