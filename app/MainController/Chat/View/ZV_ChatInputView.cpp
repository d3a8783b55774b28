#include "app/MainController/Chat/View/ZV_ChatInputView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewConstraints.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptiveIconButton.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUITextView.h"

#include <algorithm>

namespace {

constexpr CGFloat kMorePanelHeight = 92;
constexpr CGFloat kRowPadding = 8;

// The extra panel takes no room while it is hidden, so the bar shrinks back to its text row.
class CollapsingPanel final : public UIView {
public:
    std::shared_ptr<Constraint> height;

    void setHidden(bool hidden) override
    {
        UIView::setHidden(hidden);
        if (height)
            height->updateOffset(hidden ? 0 : kMorePanelHeight);
    }
};

std::shared_ptr<QMUIButton> panelButton(const std::string& title, const std::string& image)
{
    auto button = std::make_shared<QMUIButton>();
    button->setImagePosition(QMUIButtonImagePosition::top);
    button->setSpacingBetweenImageAndTitle(6);
    button->setImage(UIImage::named(image));
    button->setTitle(title);
    button->setTitleColor(ZV_ChatInputView::panelTitleColor());
    button->setFont(UIFont::systemFont(12));
    return button;
}

// The icon drawn navy for the white bar turns light on the dark style's bar.
std::shared_ptr<UIButton> adaptiveIconButton(const std::string& image)
{
    auto button = std::make_shared<ZVAdaptiveIconButton>();
    button->setAdaptiveImage(UIImage::named(image));
    return button;
}

std::string trimmedOfSpacesAndTabs(const std::string& text)
{
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}

// Hands the text view's questions to the bar, which it does not own.
class ZV_ChatInputView::TextViewDelegate final : public QMUITextViewDelegate {
public:
    explicit TextViewDelegate(ZV_ChatInputView& bar)
        : m_bar(bar)
    { }
    bool textViewShouldReturn(QMUITextView&) override { return m_bar.textViewShouldReturn(); }
    void textViewDidChange(UITextView&) override { m_bar.textViewDidChange(); }

private:
    ZV_ChatInputView& m_bar;
};

ZV_ChatInputView::ZV_ChatInputView()
    : m_textViewDelegate(std::make_shared<TextViewDelegate>(*this))
    , m_joinView(std::make_shared<UIView>())
    , m_joinBtn(std::make_shared<UIButton>())
    , m_textBgView(std::make_shared<UIView>())
    , m_textView(std::make_shared<QMUITextView>())
    , m_moreBtn(adaptiveIconButton("chat_more"))
    , m_moreView(std::make_shared<CollapsingPanel>())
    , m_photoBtn(panelButton("相册", "chat_photo"))
    , m_cameraBtn(panelButton("拍摄", "chat_camera"))
    , m_sendView(std::make_shared<UIView>())
    , m_sendBtn(std::make_shared<UIButton>())
{
    setBackgroundColor(zvadaptive::surfaceColor(UIColor::white()));
    m_joinBtn->setTitle("加入聊天");
    m_joinBtn->setTitleColor(colorWithHex("1D1942"));
    m_joinBtn->setFont(UIFont::systemFont(15, UIFont::Weight::medium));
    m_joinBtn->setBackgroundColor(colorWithHex("03FFE1"));
    m_textView->setFont(UIFont::systemFont(14));
    m_textView->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_textView->setBackgroundColor(zvadaptive::raisedColor(colorWithHex("F3F5F9")));
    // The light style keeps the theme's placeholder grey.
    m_textView->setPlaceholderColor(
        UIColor::dynamic(m_textView->placeholderColor(), UIColor::white(1, 0.55)));
    m_textView->setTextContainerInset({ 9, 6, 9, 6 });
    m_sendBtn->setTitle("发送");
    m_sendBtn->setTitleColor(colorWithHex("1D1942"));
    m_sendBtn->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    m_sendBtn->setBackgroundColor(colorWithHex("03FFE1"));
}

void ZV_ChatInputView::awakeFromNib()
{
    auto row = std::make_shared<UIView>();
    addSubview(row);
    addSubview(m_moreView);
    row->addSubview(m_textBgView);
    row->addSubview(m_joinView);
    m_joinView->addSubview(m_joinBtn);
    m_textBgView->addSubview(m_textView);
    m_textBgView->addSubview(m_moreBtn);
    m_textBgView->addSubview(m_sendView);
    m_sendView->addSubview(m_sendBtn);
    m_moreView->addSubview(m_photoBtn);
    m_moreView->addSubview(m_cameraBtn);

    snp(*row).makeConstraints([](ConstraintMaker& make) { make.left().right().top().equalToSuperview(); });
    snp(*m_textBgView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(*m_joinView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(*m_joinBtn).makeConstraints([](ConstraintMaker& make) {
        make.center().equalToSuperview();
        make.size().equalTo(CGSize { 200, minimumTextHeight });
    });
    // The right slot holds the more button or the send button, one at a time.
    snp(*m_sendView).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-12);
        make.bottom().equalToSuperview().offset(-kRowPadding);
        make.size().equalTo(CGSize { 56, minimumTextHeight });
    });
    snp(*m_sendBtn).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(*m_moreBtn).makeConstraints([this](ConstraintMaker& make) {
        make.center().equalTo(snp(*m_sendView).center());
        make.size().equalTo(CGSize { minimumTextHeight, minimumTextHeight });
    });
    snp(*m_textView).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(12);
        make.right().equalTo(snp(*m_sendView).left()).offset(-10);
        make.top().equalToSuperview().offset(kRowPadding);
        make.bottom().equalToSuperview().offset(-kRowPadding);
        make.height().equalTo(minimumTextHeight);
    });
    auto* panel = static_cast<CollapsingPanel*>(m_moreView.get());
    snp(*m_moreView).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(*row).bottom());
        make.left().right().bottom().equalToSuperview();
        panel->height = make.height().equalTo(kMorePanelHeight).constraint();
    });
    snp(*m_photoBtn).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.centerY().equalToSuperview();
        make.size().equalTo(CGSize { 56, 64 });
    });
    snp(*m_cameraBtn).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(*m_photoBtn).right()).offset(24);
        make.centerY().equalToSuperview();
        make.size().equalTo(CGSize { 56, 64 });
    });

    m_textView->setDelegate(m_textViewDelegate);
    m_textView->setMaximumHeight(120);
    m_textView->returnKeyType = UIReturnKeyType::send;
    setCornerRadius(*m_textView, 8);
    m_textView->setPlaceholder("请输入内容...");
    m_textBgView->setHidden(true);
    m_moreView->setHidden(true);
    m_sendView->setHidden(true);
    setCornerRadius(*m_sendBtn, 8);
    // The button lives inside the bar: the action may refer to the bar without owning it.
    m_sendBtn->addAction(UIControlEventTouchUpInside, [this](UIControl&) { sendText(); });
}

ZV_ChatInputView::~ZV_ChatInputView() = default;

UIColor ZV_ChatInputView::panelTitleColor()
{
    // A shade darker than the name lines' faded navy: small titles on the white panel.
    return zvadaptive::textColor(colorWithHex("1D1942", 0.7));
}

void ZV_ChatInputView::sendText()
{
    std::string text = m_textView->text();
    if (!text.empty() && textDoneBlock)
        textDoneBlock(text);
}

bool ZV_ChatInputView::textViewShouldReturn()
{
    std::string text = trimmedOfSpacesAndTabs(m_textView->text());
    if (!text.empty() && textDoneBlock)
        textDoneBlock(text);
    return true;
}

void ZV_ChatInputView::textViewDidChange()
{
    CGSize fitting = m_textView->sizeThatFits({ m_textView->bounds().width(), screenHeight() });
    auto height = cs_heightConstraint(*m_textView);
    if (!height)
        return;
    height->setConstant(std::clamp<CGFloat>(fitting.height, minimumTextHeight, maximumTextHeight));
    m_textView->setScrollEnabled(height->constant() < fitting.height);
}

void ZV_ChatInputView::layoutSubviews()
{
    UIView::layoutSubviews();
    makeCorner(*m_joinBtn);
}
