#include "app/MainController/Login/View/ZV_AccountForm.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Network/ZV_NetworkReply.h"
#include "app/MainController/Login/View/ZV_EnterButtonImage.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/json/JSONSerialization.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/qmui/QMUITextField.h"

namespace accountform {

std::shared_ptr<QMUITextField> makeField(
    const std::string& placeholder, const UIColor& textColor, bool secure, std::function<void()> changed)
{
    auto field = UIView::create<QMUITextField>();
    field->layer()->setCornerRadius(10);
    field->setClipsToBounds(true);
    field->setTextColor(zvadaptive::textColor(textColor));
    field->setBackgroundColor(zvadaptive::fillColor(UIColor::white()));
    field->setPlaceholder(placeholder);
    field->setPlaceholderColor(zvadaptive::textColor(colorWithHex("1D1942", 0.3)));
    field->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    field->setTextInsets({ 0, 20, 0, 20 });
    field->setSecureTextEntry(secure);
    if (changed)
        field->addAction(
            UIControlEventEditingChanged, [changed = std::move(changed)](UIControl&) { changed(); });
    return field;
}

std::shared_ptr<QMUITextField> makeCodeField(const UIColor& textColor, std::function<void()> changed)
{
    auto field = makeField("请输入验证码", textColor, false, {});
    field->layer()->setBorderWidth(2);
    field->layer()->setBorderColor(UIColor::clear());
    std::weak_ptr<QMUITextField> weakField = field;
    field->addAction(UIControlEventEditingChanged, [weakField, changed = std::move(changed)](UIControl&) {
        if (auto field = weakField.lock())
            field->layer()->setBorderColor(UIColor::clear());
        if (changed)
            changed();
    });
    return field;
}

std::shared_ptr<UIStackView> makeStack(CGFloat spacing, bool hidden)
{
    auto stack = UIView::create<UIStackView>();
    stack->setAxis(UIStackView::Axis::vertical);
    stack->setSpacing(spacing);
    stack->setHidden(hidden);
    return stack;
}

std::shared_ptr<UIButton> makeEnterButton()
{
    auto button = UIView::create<UIButton>(UIButtonType::custom);
    button->setImage(waitingEnterImage(UIImage::named("login_enter_nor")), UIControlStateNormal);
    button->setImage(UIImage::named("login_enter_sel"), UIControlStateSelected);
    button->setEnabled(false);
    return button;
}

void setEnterEnabled(UIButton& button, bool enabled)
{
    button.setEnabled(enabled);
    button.setSelected(enabled);
}

std::shared_ptr<UILabel> makeResendLabel()
{
    auto label = UIView::create<UILabel>();
    label->setTextAlignment(NSTextAlignment::left);
    label->setFont(UIFont::systemFont(14));
    label->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    label->setText("重新发送验证码");
    label->setUserInteractionEnabled(true);
    return label;
}

std::optional<std::string> captchaText(const JSON& result)
{
    JSONWritingOptions options;
    options.prettyPrinted = true;
    return result.rawString(options);
}

std::string dataText(const std::optional<JSON>& data)
{
    if (!data)
        return {};
    switch (data->type()) {
    case JSON::Type::String:
    case JSON::Type::Number:
    case JSON::Type::Bool:
        return data->rawString().value_or("");
    default:
        return {};
    }
}

void showRefusal(const std::optional<NSError>& error)
{
    // The client hands every failure on with an error; none would still be no success.
    QMUITips::showError(error ? error->domain : ZV_NetworkReply::unusableReplyError().domain);
}

void setIfPresent(JSON& parameters, std::string_view key, const std::string& text)
{
    if (!text.empty())
        parameters.set(key, JSON(text));
}

void fadeCard(const std::shared_ptr<UIView>& card, std::function<void()> change)
{
    std::weak_ptr<UIView> weakCard = card;
    UIView::animate(
        stepFadeDuration,
        [weakCard] {
            if (auto view = weakCard.lock())
                view->setAlpha(0);
        },
        [weakCard, change = std::move(change)](bool) {
            auto view = weakCard.lock();
            if (!view)
                return;
            if (change)
                change();
            UIView::animate(stepFadeDuration, [weakCard] {
                if (auto view = weakCard.lock())
                    view->setAlpha(1);
            });
        });
}

UIImage clearBarImage()
{
    return UIImage::filled(UIColor::clear(), { 1, 1 });
}

}
