#pragma once

#include "platform/json/JSON.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UIView.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <memory>
#include <optional>

class Constraint;

// The card of the update prompt: the "update_top" picture standing on the card's top edge, the
// new version's title and release notes, the "立即升级" button, and a close button under the card.
// The card grows with the notes, which are never cut.
class ZV_UpdateAPPContentView : public UIView {
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    static constexpr CGFloat width = 320;
    // The card without notes, and the whole view without notes.
    static constexpr CGFloat cardBaseHeight = 142;
    static constexpr CGFloat contentBaseHeight = 350;
    // Width the notes are laid out in.
    static constexpr CGFloat notesWidth = 272;

    static std::shared_ptr<ZV_UpdateAPPContentView> make(const CGRect& frame);
    ZV_UpdateAPPContentView(Passkey, const CGRect& frame);

    std::string className() const override { return "ZV_UpdateAPPContentView"; }

    // Height of the notes ("intro") at the notes' width, rounded up; 0 for none.
    static CGFloat notesHeight(const JSON& model);

    const std::optional<JSON>& model() const { return m_model; }
    // Fills the title and notes and sets the card's height to fit them.
    void setModel(std::optional<JSON> model);

    const std::shared_ptr<UIImageView>& topView() const { return m_topView; }
    const std::shared_ptr<UIView>& cardView() const { return m_cardView; }
    const std::shared_ptr<QMUIButton>& closeBtn() const { return m_closeBtn; }
    const std::shared_ptr<QMUIButton>& updateBtn() const { return m_updateBtn; }
    const std::shared_ptr<QMUILabel>& title() const { return m_title; }
    const std::shared_ptr<QMUILabel>& subTitle() const { return m_subTitle; }

private:
    void setupUI();

    std::shared_ptr<UIImageView> m_topView;
    std::shared_ptr<UIView> m_cardView;
    std::shared_ptr<QMUIButton> m_closeBtn;
    std::shared_ptr<QMUIButton> m_updateBtn;
    std::shared_ptr<QMUILabel> m_title;
    std::shared_ptr<QMUILabel> m_subTitle;
    std::optional<JSON> m_model;
    std::shared_ptr<Constraint> m_cardHeightConstraint;
};
