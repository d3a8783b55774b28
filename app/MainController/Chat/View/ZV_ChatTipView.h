#pragma once

#include "platform/ui/UIView.h"

#include <cstdint>
#include <memory>
#include <optional>

class MarqueeLabel;
class UIButton;
class UIImageView;

// What a tip bar is for.
enum class ZV_ChatTipViewType { noti, reply };

// A rounded bar over the chat list: the room's notice scrolling past after an icon, or the
// message being replied to. Its close button hides the bar (and forgets the quoted message);
// only the page shows it again. Made with viewForXib.
class ZV_ChatTipView : public UIView {
public:
    static constexpr CGFloat barHeight = 36;

    ZV_ChatTipView();

    std::string className() const override { return "ZV_ChatTipView"; }

    // Puts the parts together once the view is owned.
    void awakeFromNib();

    ZV_ChatTipViewType type() const { return m_type; }
    // Restyles the bar (every time, also to the same type).
    void setType(ZV_ChatTipViewType type);

    // The seq of the message a reply bar quotes, while it shows one.
    std::optional<std::int64_t> seq;

    const std::shared_ptr<UIView>& bgView() const { return m_bgView; }
    const std::shared_ptr<UIImageView>& imageView() const { return m_imageView; }
    const std::shared_ptr<MarqueeLabel>& marqueeLabel() const { return m_marqueeLabel; }
    const std::shared_ptr<UIButton>& closeBtn() const { return m_closeBtn; }

private:
    ZV_ChatTipViewType m_type = ZV_ChatTipViewType::noti;
    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<MarqueeLabel> m_marqueeLabel;
    std::shared_ptr<UIButton> m_closeBtn;
};
