#include "app/Demo/DemoAppDelegate.h"

#include "platform/ui/UILabel.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UITextField.h"

namespace {

// Places the demo's views on every layout pass, so they follow rotation.
class DemoWindow : public UIWindow {
public:
    std::function<void()> onLayout;
    void layoutSubviews() override
    {
        UIWindow::layoutSubviews();
        if (onLayout)
            onLayout();
    }
};

}

bool DemoAppDelegate::didFinishLaunching(UIApplication&, const UIApplicationLaunchOptions&)
{
    auto window = std::make_shared<DemoWindow>();
    window->setBackgroundColor(UIColor(0.96, 0.96, 0.98, 1));
    window->onLayout = [this] { layout(); };
    m_window = window;
    auto& root = m_window;

    m_titleLabel = std::make_shared<UILabel>();
    m_titleLabel->setText("Zentavo");
    m_titleLabel->setFont(UIFont::boldSystemFont(28));
    m_titleLabel->setTextColor(UIColor(0.11, 0.10, 0.26, 1));
    m_titleLabel->setTextAlignment(NSTextAlignment::center);
    root->addSubview(m_titleLabel);

    m_button = std::make_shared<UIButton>();
    m_button->setTitle("点我 Tap me");
    m_button->setTitleColor(UIColor::black());
    m_button->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    m_button->setBackgroundColor(UIColor(0.01, 1, 0.88, 1));
    m_button->setContentEdgeInsets({ 12, 28, 12, 28 });
    m_button->layer()->setCornerRadius(8);
    m_button->setAccessibilityIdentifier("demo.button");
    m_button->addAction(UIControlEventTouchUpInside, [this](UIControl&) {
        ++m_taps;
        m_titleLabel->setText("Tapped " + std::to_string(m_taps) + (m_taps == 1 ? " time" : " times"));
    });
    root->addSubview(m_button);

    m_textField = std::make_shared<UITextField>();
    m_textField->setPlaceholder("手机号/用户名");
    m_textField->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    m_textField->setBackgroundColor(UIColor::white());
    m_textField->layer()->setCornerRadius(10);
    m_textField->setLeftView(std::make_shared<UIView>(CGRect { 0, 0, 20, 20 }));
    m_textField->leftViewMode = UITextFieldViewMode::always;
    m_textField->clearButtonMode = UITextFieldViewMode::whileEditing;
    m_textField->setAccessibilityIdentifier("demo.field");
    root->addSubview(m_textField);

    // Return ends editing.
    m_textField->addAction(UIControlEventEditingDidEndOnExit, [](UIControl&) {});
    layout();
    m_window->makeKeyAndVisible();
    return true;
}

void DemoAppDelegate::layout()
{
    CGRect bounds = m_window->bounds();
    UIEdgeInsets safe = m_window->safeAreaInsets();
    m_titleLabel->setFrame({ 24, safe.top + 80, bounds.width() - 48, 40 });
    CGSize size = m_button->intrinsicContentSize();
    m_button->setFrame({ (bounds.width() - size.width) / 2, safe.top + 160, size.width, size.height });
    m_textField->setFrame({ 24, safe.top + 240, bounds.width() - 48, 50 });
}
