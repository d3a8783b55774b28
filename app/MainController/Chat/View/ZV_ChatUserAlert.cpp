#include "app/MainController/Chat/View/ZV_ChatUserAlert.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/WindowHelpers.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Chat/Model/ZV_MessageCurrentModel.h"
#include "app/MainController/Chat/View/ChatSenderName.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"

namespace {

constexpr CGFloat kAvatarSide = 72;

std::shared_ptr<UIButton> actionButton()
{
    auto button = std::make_shared<UIButton>();
    button->setFont(UIFont::systemFont(15, UIFont::Weight::medium));
    return button;
}

}

ZV_ChatUserAlert::ZV_ChatUserAlert()
    : m_bgView(std::make_shared<UIView>())
    , m_contentView(std::make_shared<UIView>())
    , m_infoView(std::make_shared<UIView>())
    , m_headImgView(std::make_shared<UIImageView>())
    , m_titleLb(std::make_shared<UILabel>())
    , m_desLb(std::make_shared<UILabel>())
    , m_bannedBtn(actionButton())
    , m_mushinBtn(actionButton())
{ }

void ZV_ChatUserAlert::awakeFromNib()
{
    addSubview(m_bgView);
    addSubview(m_contentView);
    m_contentView->addSubview(m_infoView);
    m_contentView->addSubview(m_headImgView);
    m_infoView->addSubview(m_titleLb);
    m_infoView->addSubview(m_desLb);
    m_infoView->addSubview(m_bannedBtn);
    m_infoView->addSubview(m_mushinBtn);

    snp(*m_bgView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(*m_contentView).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(32);
        make.centerY().equalToSuperview();
    });
    // The picture stands half over the top edge of the panel.
    snp(*m_headImgView).makeConstraints([](ConstraintMaker& make) {
        make.top().centerX().equalToSuperview();
        make.size().equalTo(CGSize { kAvatarSide, kAvatarSide });
    });
    snp(*m_infoView).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(kAvatarSide / 2);
        make.left().right().bottom().equalToSuperview();
    });
    snp(*m_titleLb).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(kAvatarSide / 2 + 14);
        make.centerX().equalToSuperview();
        make.left().greaterThanOrEqualToSuperview().offset(16);
    });
    snp(*m_desLb).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(*m_titleLb).bottom()).offset(6);
        make.centerX().equalToSuperview();
    });
    snp(*m_bannedBtn).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(*m_desLb).bottom()).offset(24);
        make.left().equalToSuperview().offset(20);
        make.height().equalTo(44);
        make.bottom().equalToSuperview().offset(-24);
    });
    snp(*m_mushinBtn).makeConstraints([this](ConstraintMaker& make) {
        make.top().bottom().width().equalTo(snp(*m_bannedBtn));
        make.left().equalTo(snp(*m_bannedBtn).right()).offset(15);
        make.right().equalToSuperview().offset(-20);
    });

    m_bgView->setBackgroundColor(colorWithHex("222222", 0.4));
    // The views live inside the card: their actions may refer to it without owning it.
    addTapAction(*m_bgView, [this](UITapGestureRecognizer&) { dismiss(); });
    m_infoView->setBackgroundColor(cardColor());
    setCornerRadius(*m_infoView, 16);
    m_headImgView->setContentMode(UIViewContentMode::scaleAspectFill);
    // The ring around the avatar is of the card's own colour.
    m_headImgView->setBackgroundColor(cardColor());
    m_headImgView->layer()->setBorderWidth(4);
    m_headImgView->layer()->setBorderColor(cardColor());
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.6)));
    m_desLb->setFont(UIFont::systemFont(13));
    m_desLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.4)));
    setCornerRadius(*m_bannedBtn, 8);
    m_bannedBtn->setBackgroundColor(zvadaptive::whiteTextFill(colorWithHex("F16060")));
    m_bannedBtn->setTitleColor(UIColor::white());
    m_bannedBtn->setTitle("封禁");
    m_bannedBtn->addAction(UIControlEventTouchUpInside, [this](UIControl&) { clickBanned(); });
    setCornerRadius(*m_mushinBtn, 8);
    m_mushinBtn->setBackgroundColor(cardColor());
    m_mushinBtn->setTitleColor(zvadaptive::textColor(colorWithHex("222222")));
    m_mushinBtn->layer()->setBorderWidth(1);
    m_mushinBtn->layer()->setBorderColor(
        UIColor::dynamic(colorWithHex("222222", 0.1), UIColor::white(1, 0.2)));
    m_mushinBtn->setTitle("禁言");
    m_mushinBtn->addAction(UIControlEventTouchUpInside, [this](UIControl&) { clickMushin(); });
}

UIColor ZV_ChatUserAlert::cardColor()
{
    return zvadaptive::surfaceColor(UIColor::white());
}

void ZV_ChatUserAlert::layoutSubviews()
{
    UIView::layoutSubviews();
    makeCorner(*m_headImgView);
}

void ZV_ChatUserAlert::updateContent()
{
    if (!model)
        return;
    const Sender& sender = model->sender();
    if (parsesAsURL(sender.avatar_url())) {
        sd_setImage(*m_headImgView, sender.avatar_url(), UIImage::named("placeholder_nor"));
    } else {
        sd_cancelCurrentImageLoad(*m_headImgView);
        m_headImgView->setImage(UIImage::named("placeholder_nor"));
    }
    m_titleLb->setAttributedText(nicknameWithAdminBadge(*model).value().styledText());
    m_desLb->setText("UID：" + std::to_string(sender.sender_id()));
}

void ZV_ChatUserAlert::requestUserState()
{
    // A new opening starts from nothing: the buttons must not act on the previous member.
    std::uint64_t opening = ++m_opening;
    zv_currentModel.reset();
    updateButtonTitles();

    JSON parameters = JSON::object({ { "room_id", JSON(roomID) } });
    if (model)
        parameters.set("user_id", JSON(model->sender().sender_id()));
    std::weak_ptr<UIView> weak = weakFromThis();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/room/user", parameters,
        [weak, opening](std::optional<JSON> json, std::optional<NSError> error) {
            if (auto card = std::static_pointer_cast<ZV_ChatUserAlert>(weak.lock()))
                card->userStateHandler(opening, std::move(json), std::move(error));
        });
}

void ZV_ChatUserAlert::userStateHandler(
    std::uint64_t opening, std::optional<JSON> json, std::optional<NSError>)
{
    if (opening != m_opening)
        return;
    if (json) {
        zv_currentModel = std::make_shared<ZV_MessageCurrentModel>(*json);
        updateButtonTitles();
    }
    if (auto window = activeKeyWindow()) {
        setFrame(window->bounds());
        window->addSubview(sharedFromThis());
    }
}

bool ZV_ChatUserAlert::isBanned() const
{
    return zv_currentModel && zv_currentModel->is_block == 1 && zv_currentModel->block_remain_time == -1;
}

bool ZV_ChatUserAlert::isMuted() const
{
    return zv_currentModel && zv_currentModel->is_block == 1 && zv_currentModel->block_remain_time >= 0;
}

void ZV_ChatUserAlert::updateButtonTitles()
{
    // Without a state the titles are those of a free member.
    m_bannedBtn->setTitle(isBanned() ? "解封" : "封禁");
    m_mushinBtn->setTitle(isMuted() ? "解禁" : "禁言");
}

void ZV_ChatUserAlert::clickBanned()
{
    std::int64_t userId = model ? model->sender().sender_id() : 0;
    blockUser(userId, isBanned() ? 2 : 1, -1);
}

void ZV_ChatUserAlert::clickMushin()
{
    if (isMuted()) {
        blockUser(model ? model->sender().sender_id() : 0, 2, 0);
        return;
    }
    dismiss();
    auto sheet = std::make_shared<ZV_ShowBottomView>();
    std::weak_ptr<UIView> weak = weakFromThis();
    sheet->timeBlock = [weak](int seconds) {
        if (auto card = std::static_pointer_cast<ZV_ChatUserAlert>(weak.lock()))
            card->muteTimeHandler(seconds);
    };
    sheet->show(6, nullptr, nullptr);
}

void ZV_ChatUserAlert::muteTimeHandler(int seconds)
{
    blockUser(model ? model->sender().sender_id() : 0, 1, seconds);
}

void ZV_ChatUserAlert::blockUser(std::int64_t userId, int type, std::int64_t time)
{
    JSON parameters = JSON::object({ { "room_id", JSON(roomID) },
        { "user_ids", JSON::array({ JSON(userId) }) }, { "type", JSON(type) }, { "time", JSON(time) } });
    std::weak_ptr<UIView> weak = weakFromThis();
    ZV_Network::shared().request(HTTPMethod::POST, BaseURLs::main_url(), "v1/room/blockuser", parameters,
        [weak](std::optional<JSON> json, std::optional<NSError> error) {
            if (auto card = std::static_pointer_cast<ZV_ChatUserAlert>(weak.lock()))
                card->blockUserHandler(std::move(json), std::move(error));
        });
}

void ZV_ChatUserAlert::blockUserHandler(std::optional<JSON> json, std::optional<NSError>)
{
    if (!json)
        return;
    dismiss();
    // The client hands over the server's message when the reply carries no data; a reply with
    // data (empty or not) says only that it was done.
    std::optional<std::string> text = json->string();
    QMUITips::showWithText(text && !text->empty() ? *text : "操作成功");
}

void ZV_ChatUserAlert::dismiss()
{
    removeFromSuperview();
}
