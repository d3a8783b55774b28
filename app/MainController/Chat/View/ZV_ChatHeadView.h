#pragma once

#include "app/Theme/ZVAdaptiveIconButton.h"
#include "platform/ui/UIView.h"

#include <memory>

class UIButton;
class UILabel;
class UIStackView;

// The top of the chat room: the title "聊天室", the online count ("0人在线" until the page writes
// the live one) and a refresh button that the page wires. Made with viewForXib.
class ZV_ChatHeadView : public UIView {
public:
    ZV_ChatHeadView();

    std::string className() const override { return "ZV_ChatHeadView"; }

    // Puts the parts together once the view is owned.
    void awakeFromNib();

    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }
    const std::shared_ptr<UIStackView>& onlineStackView() const { return m_onlineStackView; }
    const std::shared_ptr<UILabel>& numLb() const { return m_numLb; }
    const std::shared_ptr<ZVAdaptiveIconButton>& refreshBtn() const { return m_refreshBtn; }

private:
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UIStackView> m_onlineStackView;
    std::shared_ptr<UILabel> m_numLb;
    std::shared_ptr<ZVAdaptiveIconButton> m_refreshBtn;
};
