#include "platform/ui/UIAlertController.h"

#include "platform/foundation/Log.h"
#include "platform/ui/UIScreen.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr CGFloat alertWidth = 270;
constexpr CGFloat alertButtonHeight = 44;
constexpr CGFloat sheetButtonHeight = 57;
constexpr CGFloat sheetMargin = 8;
constexpr CGFloat textFieldHeight = 28;

UIColor separatorColor()
{
    return { 60 / 255.0, 60 / 255.0, 67 / 255.0, 0.29 };
}

// A button row of the alert; a touch that ends on it chooses its action.
class AlertButtonView : public UIView {
public:
    AlertButtonView(std::weak_ptr<UIViewController> alert, std::shared_ptr<UIAlertAction> action, UIFont font)
        : m_alert(std::move(alert))
        , m_action(std::move(action))
        , m_label(UIView::create<UILabel>())
    {
        m_label->setText(m_action->title());
        m_label->setFont(font);
        m_label->setTextAlignment(NSTextAlignment::center);
        m_label->setUserInteractionEnabled(false);
        if (m_action->style() == UIAlertActionStyle::destructive)
            m_label->setTextColor(UIColor::systemRed());
        else if (!m_action->isEnabled())
            m_label->setTextColor(UIColor::gray());
        else
            m_label->setTextColor(tintColor());
        setAccessibilityLabel(m_action->title());
    }

    std::string className() const override { return "UIAlertActionView"; }
    const std::shared_ptr<UIAlertAction>& action() const { return m_action; }

    void layoutSubviews() override
    {
        if (!m_label->superview())
            addSubview(m_label);
        UIView::layoutSubviews();
        m_label->setFrame(bounds().insetBy(8, 0));
    }

    void touchesBegan(const UITouchSet&, const UIEvent*) override
    {
        m_tracking = true;
        setBackgroundColor(UIColor(0, 0, 0, 0.08));
    }
    void touchesEnded(const UITouchSet&, const UIEvent*) override
    {
        setBackgroundColor(std::nullopt);
        if (!std::exchange(m_tracking, false))
            return;
        if (auto alert = std::static_pointer_cast<UIAlertController>(m_alert.lock()))
            alert->tapAction(m_action);
    }
    void touchesCancelled(const UITouchSet&, const UIEvent*) override
    {
        m_tracking = false;
        setBackgroundColor(std::nullopt);
    }
    std::string dumpAttributes() const override { return "title=\"" + m_action->title() + "\""; }

private:
    std::weak_ptr<UIViewController> m_alert;
    std::shared_ptr<UIAlertAction> m_action;
    std::shared_ptr<UILabel> m_label;
    bool m_tracking = false;
};

CGFloat textHeight(const std::shared_ptr<UILabel>& label, CGFloat width)
{
    if (!label || label->text().empty())
        return 0;
    return label->sizeThatFits({ width, 0 }).height;
}

}

// ---- UIAlertAction ----

std::shared_ptr<UIAlertAction> UIAlertAction::make(
    std::string title, UIAlertActionStyle style, Handler handler)
{
    return std::make_shared<UIAlertAction>(std::move(title), style, std::move(handler));
}

UIAlertAction::UIAlertAction(std::string title, UIAlertActionStyle style, Handler handler)
    : m_title(std::move(title))
    , m_style(style)
    , m_handler(std::move(handler))
{ }

// ---- UIAlertController ----

std::shared_ptr<UIAlertController> UIAlertController::make(
    std::string title, std::string message, UIAlertControllerStyle style)
{
    return std::make_shared<UIAlertController>(std::move(title), std::move(message), style);
}

UIAlertController::UIAlertController(std::string title, std::string message, UIAlertControllerStyle style)
    : m_message(std::move(message))
    , m_style(style)
{
    UIViewController::setTitle(std::move(title));
    setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
}

void UIAlertController::setTitle(std::string title)
{
    UIViewController::setTitle(std::move(title));
    rebuild();
}

void UIAlertController::setMessage(std::string message)
{
    m_message = std::move(message);
    rebuild();
}

void UIAlertController::addAction(std::shared_ptr<UIAlertAction> action)
{
    if (!action)
        return;
    bool secondCancel = action->style() == UIAlertActionStyle::cancel
        && std::any_of(m_actions.begin(), m_actions.end(),
            [](const auto& a) { return a->style() == UIAlertActionStyle::cancel; });
    if (secondCancel) {
        Log::write("Warning: UIAlertController can only have one action with a cancel style");
        return;
    }
    m_actions.push_back(std::move(action));
    rebuild();
}

void UIAlertController::addTextField(const std::function<void(UITextField&)>& configure)
{
    if (m_style != UIAlertControllerStyle::alert) {
        Log::write("Warning: text fields can only be added to an alert controller of the alert style");
        return;
    }
    auto field = UIView::create<UITextField>();
    field->setFont(UIFont::systemFont(13));
    field->setBackgroundColor(UIColor::dynamic(UIColor::white(), UIColor::white(0.1)));
    field->layer()->setBorderWidth(1 / UIScreen::main().scale());
    field->layer()->setBorderColor(separatorColor());
    field->layer()->setCornerRadius(4);
    if (configure)
        configure(*field);
    m_textFields.push_back(std::move(field));
    rebuild();
}

void UIAlertController::viewDidAppear(bool animated)
{
    UIViewController::viewDidAppear(animated);
    if (!m_textFields.empty() && !m_chosen)
        m_textFields.front()->becomeFirstResponder();
}

std::shared_ptr<UIAlertAction> UIAlertController::actionWithTitle(const std::string& title) const
{
    for (const auto& a : m_actions) {
        if (a->title() == title && a->isEnabled())
            return a;
    }
    return nullptr;
}

bool UIAlertController::tapAction(const std::string& title)
{
    return tapAction(actionWithTitle(title));
}

bool UIAlertController::tapAction(const std::shared_ptr<UIAlertAction>& action)
{
    if (!action || !action->isEnabled() || m_chosen
        || std::find(m_actions.begin(), m_actions.end(), action) == m_actions.end())
        return false;
    m_chosen = true;
    if (const auto& view = viewIfLoaded())
        view->endEditing(true);
    auto run = [action] {
        if (action->handler())
            action->handler()(*action);
    };
    if (presentingViewController())
        dismiss(true, run);
    else
        run();
    return true;
}

void UIAlertController::loadView()
{
    UIViewController::loadView();
    viewIfLoaded()->setBackgroundColor(UIColor(0, 0, 0, 0.2));
    rebuild();
}

void UIAlertController::rebuild()
{
    const auto& view = viewIfLoaded();
    if (!view)
        return;
    for (auto* v : { &m_box, &m_cancelBox }) {
        if (*v)
            (*v)->removeFromSuperview();
        v->reset();
    }
    m_buttons.clear();
    m_separators.clear();

    bool sheet = m_style == UIAlertControllerStyle::actionSheet;
    auto makeBox = [&] {
        auto box = UIView::create();
        box->setBackgroundColor(UIColor::dynamic(UIColor::white(0.97), UIColor::white(0.17)));
        box->layer()->setCornerRadius(sheet ? 13 : 14);
        box->setClipsToBounds(true);
        view->addSubview(box);
        return box;
    };
    m_box = makeBox();

    m_titleLabel = UIView::create<UILabel>();
    m_titleLabel->setText(title());
    m_titleLabel->setFont(UIFont::systemFont(sheet ? 13 : 17, UIFont::Weight::semibold));
    m_titleLabel->setTextColor(sheet ? UIColor::secondaryLabel() : UIColor::label());
    m_messageLabel = UIView::create<UILabel>();
    m_messageLabel->setText(m_message);
    m_messageLabel->setFont(UIFont::systemFont(13));
    m_messageLabel->setTextColor(sheet ? UIColor::secondaryLabel() : UIColor::label());
    for (auto& label : { m_titleLabel, m_messageLabel }) {
        label->setNumberOfLines(0);
        label->setTextAlignment(NSTextAlignment::center);
        label->setHidden(label->text().empty());
        m_box->addSubview(label);
    }
    for (const auto& field : m_textFields)
        m_box->addSubview(field);

    // Order of the buttons: see the class comment.
    std::vector<std::shared_ptr<UIAlertAction>> ordered;
    std::shared_ptr<UIAlertAction> cancel;
    for (const auto& a : m_actions) {
        if (a->style() == UIAlertActionStyle::cancel)
            cancel = a;
        else
            ordered.push_back(a);
    }
    bool sideBySide = !sheet && m_actions.size() == 2;
    if (cancel && !sheet)
        ordered.insert(sideBySide ? ordered.begin() : ordered.end(), cancel);
    CGFloat fontSize = sheet ? 20 : 17;
    for (const auto& a : ordered) {
        auto font = UIFont::systemFont(fontSize,
            a->style() == UIAlertActionStyle::cancel ? UIFont::Weight::semibold : UIFont::Weight::regular);
        auto button = UIView::create<AlertButtonView>(weakFromThis(), a, font);
        auto separator = UIView::create();
        separator->setBackgroundColor(separatorColor());
        m_box->addSubview(separator);
        m_box->addSubview(button);
        m_separators.push_back(separator);
        m_buttons.push_back(button);
    }
    if (sheet && cancel) {
        m_cancelBox = makeBox();
        m_cancelBox->setBackgroundColor(UIColor::dynamic(UIColor::white(), UIColor::white(0.17)));
        auto button = UIView::create<AlertButtonView>(
            weakFromThis(), cancel, UIFont::systemFont(fontSize, UIFont::Weight::semibold));
        m_cancelBox->addSubview(button);
        m_buttons.push_back(button);
    }
    view->setNeedsLayout();
    layoutChildren();
}

void UIAlertController::layoutChildren()
{
    const auto& view = viewIfLoaded();
    if (!view || !m_box)
        return;
    if (m_style == UIAlertControllerStyle::alert)
        layoutAlert(view->bounds());
    else
        layoutSheet(view->bounds());
}

void UIAlertController::layoutAlert(const CGRect& b)
{
    CGFloat hairline = 1 / UIScreen::main().scale();
    CGFloat textWidth = alertWidth - 32;
    CGFloat y = 20;
    CGFloat titleH = textHeight(m_titleLabel, textWidth);
    CGFloat messageH = textHeight(m_messageLabel, textWidth);
    m_titleLabel->setFrame({ 16, y, textWidth, titleH });
    y += titleH + (titleH > 0 && messageH > 0 ? 4 : 0);
    m_messageLabel->setFrame({ 16, y, textWidth, messageH });
    y += messageH + 20;
    if (titleH == 0 && messageH == 0)
        y = m_textFields.empty() ? 0 : 16;
    for (const auto& field : m_textFields) {
        field->setFrame({ 16, y - 8, textWidth, textFieldHeight });
        y += textFieldHeight + 8;
    }

    bool sideBySide = m_buttons.size() == 2;
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        if (sideBySide) {
            CGFloat half = alertWidth / 2;
            m_buttons[i]->setFrame({ half * static_cast<CGFloat>(i), y, half, alertButtonHeight });
            if (i == 0)
                m_separators[i]->setFrame({ 0, y, alertWidth, hairline });
            else
                m_separators[i]->setFrame({ half, y, hairline, alertButtonHeight });
        } else {
            m_separators[i]->setFrame({ 0, y, alertWidth, hairline });
            m_buttons[i]->setFrame({ 0, y, alertWidth, alertButtonHeight });
            y += alertButtonHeight;
        }
    }
    if (sideBySide)
        y += alertButtonHeight;
    // Tall alerts are held within the screen; a real alert would scroll.
    CGFloat height = std::min(y, b.height() - 40);
    m_box->setFrame(
        { std::round(b.midX() - alertWidth / 2), std::round(b.midY() - height / 2), alertWidth, height });
}

void UIAlertController::layoutSheet(const CGRect& b)
{
    CGFloat hairline = 1 / UIScreen::main().scale();
    CGFloat width = b.width() - 2 * sheetMargin;
    CGFloat textWidth = width - 32;
    CGFloat y = 0;
    CGFloat titleH = textHeight(m_titleLabel, textWidth);
    CGFloat messageH = textHeight(m_messageLabel, textWidth);
    if (titleH > 0 || messageH > 0) {
        y = 14;
        m_titleLabel->setFrame({ 16, y, textWidth, titleH });
        y += titleH + (titleH > 0 && messageH > 0 ? 12 : 0);
        m_messageLabel->setFrame({ 16, y, textWidth, messageH });
        y += messageH + 14;
    }
    std::size_t inBox = m_separators.size();
    for (std::size_t i = 0; i < inBox; ++i) {
        m_separators[i]->setFrame({ 0, y, width, hairline });
        m_separators[i]->setHidden(i == 0 && y == 0);
        m_buttons[i]->setFrame({ 0, y, width, sheetButtonHeight });
        y += sheetButtonHeight;
    }
    CGFloat bottom = b.maxY() - std::max(sheetMargin, UIScreen::main().safeAreaInsets().bottom);
    if (m_cancelBox) {
        m_cancelBox->setFrame(
            { b.minX() + sheetMargin, bottom - sheetButtonHeight, width, sheetButtonHeight });
        m_buttons.back()->setFrame({ 0, 0, width, sheetButtonHeight });
        bottom -= sheetButtonHeight + sheetMargin;
    }
    m_box->setHidden(y == 0);
    m_box->setFrame({ b.minX() + sheetMargin, bottom - y, width, y });
}
