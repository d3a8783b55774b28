#pragma once

#include "platform/ui/UIView.h"

#include <functional>
#include <memory>
#include <string>

class QMUIButton;
class QMUITextView;
class UIButton;

// The bottom of the chat room. Before the viewer has joined it shows the join button; after, a
// text field that grows with its text from 36 to 60 pt (then scrolls), the more button (or, while
// the keyboard is up, the send button), and under them an extra panel with the photo and camera
// buttons. The page wires the buttons and decides what shows.
//
// The send button hands the text over exactly as typed when it has any; the return key trims
// spaces and tabs at both ends first and hands nothing over when nothing is left. Neither clears
// the field: the page does that in textDoneBlock.
class ZV_ChatInputView : public UIView {
public:
    static constexpr CGFloat minimumTextHeight = 36;
    static constexpr CGFloat maximumTextHeight = 60;

    ZV_ChatInputView();
    ~ZV_ChatInputView() override;

    std::string className() const override { return "ZV_ChatInputView"; }

    // Puts the parts together once the view is owned.
    void awakeFromNib();

    std::function<void(const std::string&)> textDoneBlock;

    const std::shared_ptr<UIView>& joinView() const { return m_joinView; }
    const std::shared_ptr<UIButton>& joinBtn() const { return m_joinBtn; }
    const std::shared_ptr<UIView>& textBgView() const { return m_textBgView; }
    const std::shared_ptr<QMUITextView>& textView() const { return m_textView; }
    const std::shared_ptr<UIButton>& moreBtn() const { return m_moreBtn; }
    // The titles of the extra panel's buttons.
    static UIColor panelTitleColor();
    const std::shared_ptr<UIView>& moreView() const { return m_moreView; }
    const std::shared_ptr<QMUIButton>& photoBtn() const { return m_photoBtn; }
    const std::shared_ptr<QMUIButton>& cameraBtn() const { return m_cameraBtn; }
    const std::shared_ptr<UIView>& sendView() const { return m_sendView; }
    const std::shared_ptr<UIButton>& sendBtn() const { return m_sendBtn; }

    // The send button's step and the return key's step.
    void sendText();
    bool textViewShouldReturn();
    // Fits the field's height to its text (36 to 60 pt); every edit does it, and so does the page
    // after it changes the text itself.
    void textViewDidChange();

    void layoutSubviews() override;

private:
    class TextViewDelegate;

    std::shared_ptr<TextViewDelegate> m_textViewDelegate;
    std::shared_ptr<UIView> m_joinView;
    std::shared_ptr<UIButton> m_joinBtn;
    std::shared_ptr<UIView> m_textBgView;
    std::shared_ptr<QMUITextView> m_textView;
    std::shared_ptr<UIButton> m_moreBtn;
    std::shared_ptr<UIView> m_moreView;
    std::shared_ptr<QMUIButton> m_photoBtn;
    std::shared_ptr<QMUIButton> m_cameraBtn;
    std::shared_ptr<UIView> m_sendView;
    std::shared_ptr<UIButton> m_sendBtn;
};
