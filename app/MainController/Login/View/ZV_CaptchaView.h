#pragma once

#include "platform/json/JSON.h"
#include "platform/ui/UIView.h"

#include <functional>
#include <memory>

class DWKWebView;
class ZV_jsApi;

// The web captcha in front of every guarded account request: a dimmed overlay over the screen
// with the captcha page (captcha_url, 60 s time-out) in a 326 by 326 web view in its middle. When
// the page reports its result through the bridge method `jsIOS`, the text is parsed as JSON
// (text that is not JSON gives null), handed to getResult and the overlay fades out over 0.3 s
// and leaves. Only the first result counts: one overlay is one attempt, so a second report during
// the fade sends nothing. A tap on the dimmed background, the page's close request or the escape
// gesture ends the attempt without a result, and a result reported after that is dropped.
class ZV_CaptchaView : public UIView {
public:
    static constexpr CGFloat webViewSide = 326;
    static constexpr double loadTimeout = 60;
    static constexpr double fadeDuration = 0.3;

    // Builds the overlay and starts loading the page at once (the constructor alone does not).
    static std::shared_ptr<ZV_CaptchaView> create(const CGRect& frame);
    // A new overlay over the screen on the key window, with `result` as getResult; none, and
    // nothing loaded, when there is no key window.
    static std::shared_ptr<ZV_CaptchaView> present(std::function<void(const JSON&)> result);

    explicit ZV_CaptchaView(const CGRect& frame);

    std::string className() const override { return "ZV_CaptchaView"; }

    // Set by the opening screen; keeps that screen alive as long as the overlay lives.
    std::function<void(const JSON&)> getResult;

    const std::shared_ptr<UIView>& backgroundView();
    const std::shared_ptr<DWKWebView>& zv_webView();
    const std::shared_ptr<ZV_jsApi>& api() const { return m_api; }

    virtual void setupUI();
    // Fades out from full opacity, then removes itself.
    virtual void dismiss();

    // Escape ends the attempt as a tap on the dimmed background does; the page beneath is left
    // alone, with its fields and its step.
    bool accessibilityPerformEscape() override;

private:
    void handleResult(const std::string& text);

    std::shared_ptr<UIView> m_backgroundView;
    std::shared_ptr<DWKWebView> m_webView;
    std::shared_ptr<ZV_jsApi> m_api;
    // Set by the first result or the first way out: one overlay is one attempt.
    bool m_ended = false;
};
