#pragma once

#include "platform/ui/UIView.h"

#include <memory>
#include <string>

class UIButton;
class UIImageView;
class UILabel;
class UIStackView;

// What the player shows over the picture when an episode cannot be played: a picture, a message
// and the buttons to refresh, to change the source and to go back. It has no actions of its own:
// the player wires refresh and back, the detail page the change of source (and, for a title
// without sources, replaces the message and hides the button row).
class ZV_PlayerErrorView : public UIView {
public:
    static std::shared_ptr<ZV_PlayerErrorView> make(const CGRect& frame = {});
    explicit ZV_PlayerErrorView(const CGRect& frame);

    std::string className() const override { return "ZV_PlayerErrorView"; }

    const std::shared_ptr<UIButton>& backBtn();
    const std::shared_ptr<UIStackView>& mainStackView();
    const std::shared_ptr<UIImageView>& errorView();
    const std::shared_ptr<UILabel>& title();
    const std::shared_ptr<UIStackView>& stackView();
    const std::shared_ptr<UIButton>& refreshBtn();
    const std::shared_ptr<UIButton>& changeBtn();

    virtual void setupUI();

private:
    std::shared_ptr<UIButton> m_backBtn;
    std::shared_ptr<UIStackView> m_mainStackView;
    std::shared_ptr<UIImageView> m_errorView;
    std::shared_ptr<UILabel> m_title;
    std::shared_ptr<UIStackView> m_stackView;
    std::shared_ptr<UIButton> m_refreshBtn;
    std::shared_ptr<UIButton> m_changeBtn;
};
