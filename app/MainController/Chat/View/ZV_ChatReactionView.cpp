#include "app/MainController/Chat/View/ZV_ChatReactionView.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Extensions/ViewHierarchy.h"
#include "app/MainController/Chat/Model/ZV_MessageCurrentModel.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIButton.h"

namespace {

constexpr UIEdgeInsets kRowInsets { 8, 16, 8, 16 };

std::shared_ptr<QMUIButton> actionButton(const std::string& title, const std::string& image)
{
    auto button = std::make_shared<QMUIButton>();
    button->setImagePosition(QMUIButtonImagePosition::top);
    button->setSpacingBetweenImageAndTitle(2);
    button->setTitle(title);
    button->setTitleColor(UIColor::white());
    button->setFont(UIFont::systemFont(14));
    button->setImage(UIImage::named(image));
    return button;
}

std::shared_ptr<UIView> separator()
{
    auto line = std::make_shared<UIView>();
    line->setBackgroundColor(UIColor::white(1, 0.2));
    snp(*line).makeConstraints([](ConstraintMaker& make) { make.size().equalTo(CGSize { 1, 16 }); });
    return line;
}

}

ZV_ChatReactionView::ZV_ChatReactionView()
{
    setupUI();
}

void ZV_ChatReactionView::setupUI()
{
    cornerRadius = 8;
    minimumWidth = 120;
    minimumHeight = 38;
    borderColor = UIColor::clear();
    contentEdgeInsets = {};
    setBackgroundColor(UIColor(0, 0, 0, 0.7));
    preferLayoutDirection = QMUIPopupContainerViewLayoutDirection::above;
    maskViewBackgroundColor = UIColor::clear();
    automaticallyHidesWhenUserTap = true;
    arrowSize = { 6, 4 };
    safetyMarginsOfSuperview = { 5, 5, 5, 5 };

    removeAllSubviews(*contentView());
    contentView()->addSubview(buttonStackView());
    snp(*buttonStackView()).makeConstraints([](ConstraintMaker& make) {
        make.edges().equalToSuperview().inset(kRowInsets);
    });
}

const std::shared_ptr<UIStackView>& ZV_ChatReactionView::buttonStackView()
{
    if (!m_buttonStackView) {
        m_buttonStackView = std::make_shared<UIStackView>();
        m_buttonStackView->setAxis(UIStackView::Axis::horizontal);
        m_buttonStackView->setSpacing(10);
        m_buttonStackView->setAlignment(UIStackViewAlignment::center);
        m_buttonStackView->setDistribution(UIStackViewDistribution::equalSpacing);
        for (const std::shared_ptr<UIView>& part : std::initializer_list<std::shared_ptr<UIView>> {
                 replyBtn(), lineOneView(), copyBtn(), lineTwoView(), recallBtn() })
            m_buttonStackView->addArrangedSubview(part);
    }
    return m_buttonStackView;
}

const std::shared_ptr<QMUIButton>& ZV_ChatReactionView::replyBtn()
{
    if (!m_replyBtn)
        m_replyBtn = actionButton("回复", "chat_reply");
    return m_replyBtn;
}

const std::shared_ptr<UIView>& ZV_ChatReactionView::lineOneView()
{
    if (!m_lineOneView)
        m_lineOneView = separator();
    return m_lineOneView;
}

const std::shared_ptr<QMUIButton>& ZV_ChatReactionView::copyBtn()
{
    // The copy action has no picture of its own.
    if (!m_copyBtn)
        m_copyBtn = actionButton("复制", "chat_reply");
    return m_copyBtn;
}

const std::shared_ptr<UIView>& ZV_ChatReactionView::lineTwoView()
{
    if (!m_lineTwoView)
        m_lineTwoView = separator();
    return m_lineTwoView;
}

const std::shared_ptr<QMUIButton>& ZV_ChatReactionView::recallBtn()
{
    if (!m_recallBtn)
        m_recallBtn = actionButton("撤回", "chat_recall");
    return m_recallBtn;
}

void ZV_ChatReactionView::setModel(std::optional<MockMessage> model)
{
    m_model = std::move(model);
    const auto& profile = ConfigSingleton::shared().zv_userInfoModel;
    std::optional<std::string> sender;
    if (m_model)
        sender = m_model->user.senderId();
    std::optional<std::string> viewer;
    if (profile)
        viewer = profile->id;
    bool own = sender == viewer;

    replyBtn()->setHidden(own);
    lineOneView()->setHidden(own);
    bool admin = zv_currentModel && zv_currentModel->member_type == 1;
    recallBtn()->setHidden(!(admin || own));
    copyBtn()->setHidden(false);
    bool three = !replyBtn()->isHidden() && !recallBtn()->isHidden();
    minimumWidth = maximumWidth = three ? 180 : 120;
    lineTwoView()->setHidden(three ? false : !own);
    buttonStackView()->invalidateIntrinsicContentSize();
    setNeedsLayout();
}

CGSize ZV_ChatReactionView::sizeThatFitsInContentView(CGSize) const
{
    CGSize row = m_buttonStackView->intrinsicContentSize();
    return { row.width + kRowInsets.left + kRowInsets.right,
        row.height + kRowInsets.top + kRowInsets.bottom };
}
