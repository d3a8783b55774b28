#include "tools/kitdemo/KitDemoActionPage.h"

#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "tools/kitdemo/KitDemoColors.h"

KitDemoActionPage::KitDemoActionPage(std::string text, std::string buttonTitle, std::string identifier,
    std::function<void(KitDemoActionPage&)> action)
    : m_text(std::move(text))
    , m_buttonTitle(std::move(buttonTitle))
    , m_identifier(std::move(identifier))
    , m_action(std::move(action))
{ }

void KitDemoActionPage::viewDidLoad()
{
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(kitdemo::mist());

    m_label = std::make_shared<UILabel>();
    m_label->setText(m_text);
    m_label->setFont(UIFont::systemFont(15));
    m_label->setTextColor(kitdemo::ink());
    m_label->setTextAlignment(NSTextAlignment::center);
    m_label->setNumberOfLines(0);
    view()->addSubview(m_label);

    m_button = std::make_shared<UIButton>();
    m_button->setTitle(m_buttonTitle);
    m_button->setTitleColor(kitdemo::inkOnMint());
    m_button->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    m_button->setBackgroundColor(kitdemo::mint());
    m_button->setContentEdgeInsets({ 12, 28, 12, 28 });
    m_button->layer()->setCornerRadius(8);
    m_button->setAccessibilityIdentifier(m_identifier);
    std::weak_ptr<UIViewController> weakSelf = sharedFromThis();
    m_button->addAction(UIControlEventTouchUpInside, [weakSelf](UIControl&) {
        if (auto self = std::static_pointer_cast<KitDemoActionPage>(weakSelf.lock()))
            self->m_action(*self);
    });
    view()->addSubview(m_button);
}

void KitDemoActionPage::viewDidLayoutSubviews()
{
    UIViewController::viewDidLayoutSubviews();
    CGRect bounds = view()->bounds();
    m_label->setFrame({ 24, 80, bounds.width() - 48, 60 });
    CGSize size = m_button->intrinsicContentSize();
    m_button->setFrame({ (bounds.width() - size.width) / 2, 170, size.width, size.height });
}
