#pragma once

#include "platform/ui/UIImageView.h"
#include "platform/ui/UIView.h"
#include "platform/ui/controls/UIButton.h"

#include <functional>
#include <memory>
#include <string>

// The home tab's pop-up advert over the whole window: a dimmed background, the advert picture
// (280 by 340, rounded) and a close button under it. A tap on the picture hands the link of the
// "index_popup" placement, read from the configuration at that moment, to the url block and
// closes the pop-up; the close button (or the escape gesture) only closes it; the background
// takes taps and does nothing with them.
class ZV_HomeAdvertAlertView : public UIView {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    using URLBlock = std::function<void(const std::string& url)>;

    // Adds the pop-up to the key window when the advert configuration has a picture for the
    // home pop-up; otherwise, or without a key window, does nothing.
    static void show(URLBlock urlBlock);

    static std::shared_ptr<ZV_HomeAdvertAlertView> make(const CGRect& frame);
    ZV_HomeAdvertAlertView(Passkey, const CGRect& frame);

    std::string className() const override { return "ZV_HomeAdvertAlertView"; }

    const URLBlock& urlBlock() const { return m_urlBlock; }
    void setURLBlock(URLBlock block) { m_urlBlock = std::move(block); }

    const std::shared_ptr<UIView>& bgView() const { return m_bgView; }
    const std::shared_ptr<UIView>& contentView() const { return m_contentView; }
    const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }
    const std::shared_ptr<UIButton>& closeBtn() const { return m_closeBtn; }

    // Escape closes the pop-up as its close button does.
    bool accessibilityPerformEscape() override;

private:
    void build();
    void pictureTapped();

    URLBlock m_urlBlock;
    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<UIView> m_contentView;
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UIButton> m_closeBtn;
};
