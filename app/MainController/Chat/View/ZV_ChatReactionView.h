#pragma once

#include "app/MainController/Chat/Model/MockMessage.h"
#include "platform/ui/qmui/QMUIPopupContainerView.h"

#include <memory>
#include <optional>

class QMUIButton;
class UIStackView;
class ZV_MessageCurrentModel;

// The dark pop-up over a long-pressed bubble: reply, copy and recall in a row. Reply shows for
// others' messages, recall for one's own and for administrators; copy always. 180 pt wide with
// three buttons, 120 with two. The owner wires the buttons and shows it on a bubble.
class ZV_ChatReactionView : public QMUIPopupContainerView {
public:
    ZV_ChatReactionView();

    std::string className() const override { return "ZV_ChatReactionView"; }

    // The viewer's room state; read at the next assignment of the model.
    std::shared_ptr<ZV_MessageCurrentModel> zv_currentModel;

    const std::optional<MockMessage>& model() const { return m_model; }
    // Shows the buttons that suit the message and the viewer.
    void setModel(std::optional<MockMessage> model);

    const std::shared_ptr<UIStackView>& buttonStackView();
    const std::shared_ptr<QMUIButton>& replyBtn();
    const std::shared_ptr<UIView>& lineOneView();
    const std::shared_ptr<QMUIButton>& copyBtn();
    const std::shared_ptr<UIView>& lineTwoView();
    const std::shared_ptr<QMUIButton>& recallBtn();

    CGSize sizeThatFitsInContentView(CGSize size) const override;

private:
    void setupUI();

    std::optional<MockMessage> m_model;
    std::shared_ptr<UIStackView> m_buttonStackView;
    std::shared_ptr<QMUIButton> m_replyBtn;
    std::shared_ptr<UIView> m_lineOneView;
    std::shared_ptr<QMUIButton> m_copyBtn;
    std::shared_ptr<UIView> m_lineTwoView;
    std::shared_ptr<QMUIButton> m_recallBtn;
};
