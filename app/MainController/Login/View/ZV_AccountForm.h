#pragma once

#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QMUITextField;
class UIButton;
class UILabel;
class UIStackView;
class UIView;

// What the account pages share: the look of their fields and of the round enter button, the
// captcha result as a request parameter, the tip of a refusal, the fade between the steps of a
// card and the clear image that makes a navigation bar transparent. Main thread only.
namespace accountform {

inline constexpr double stepFadeDuration = 0.4;

// A white rounded field (radius 10), 16 pt medium, text insets 20 at the sides, placeholder in
// "1D1942" at alpha 0.3; `changed` runs on every edit.
std::shared_ptr<QMUITextField> makeField(
    const std::string& placeholder, const UIColor& textColor, bool secure, std::function<void()> changed);
// "请输入验证码" in the same look, with a clear border 2 wide: a refusal may colour it, and every
// edit clears it again before `changed` runs.
std::shared_ptr<QMUITextField> makeCodeField(const UIColor& textColor, std::function<void()> changed);
// A vertical stack with the spacing.
std::shared_ptr<UIStackView> makeStack(CGFloat spacing, bool hidden);
// The round image button ("login_enter_nor", in the dark style a dimmed disc of its own, see
// waitingEnterImage; selected "login_enter_sel"), disabled.
std::shared_ptr<UIButton> makeEnterButton();
// Enabled and selected always change together.
void setEnterEnabled(UIButton& button, bool enabled);
// The resend label: left-aligned 14 pt "1D1942", "重新发送验证码", taps on.
std::shared_ptr<UILabel> makeResendLabel();

// The captcha result as the servers want it: the whole value as pretty-printed JSON text; none
// when it cannot be written.
std::optional<std::string> captchaText(const JSON& result);
// A success's data as a toast text: a text as it is, a number or Boolean written out, anything
// else (none, null, an object, an array) empty.
std::string dataText(const std::optional<JSON>& data);
// A request the server refused or that failed: its text as an error tip, as the login page shows
// its refusals (the server's `msg`, or the client's words for a failed transfer). The page stays
// as it was; a refusal shown as nothing would leave the viewer waiting on a passed captcha.
void showRefusal(const std::optional<NSError>& error);
// Puts the text under the key unless it is empty: a field without text leaves its key out.
void setIfPresent(JSON& parameters, std::string_view key, const std::string& text);

// Fades the card out over 0.4 s, runs `change` (the new step), then fades the card in.
void fadeCard(const std::shared_ptr<UIView>& card, std::function<void()> change);

// A small image of the clear colour, for a transparent navigation bar.
UIImage clearBarImage();

// The object behind a reference of a screen or view that shared_ptr owns, with its own type.
template<typename T> std::shared_ptr<T> shared(T& object)
{
    return std::static_pointer_cast<T>(object.sharedFromThis());
}

}
