#pragma once

#include "app/MainController/Chat/Schema/ChatSchema.h"
#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"
#include "platform/ui/UIView.h"

#include <cstdint>
#include <memory>
#include <optional>

class UIButton;
class UIImageView;
class UILabel;
class ZV_MessageCurrentModel;

// The member card an administrator opens from another member's avatar: picture, name line and
// "UID：<id>", then ban or lift the ban ("封禁" / "解封") and mute or lift the mute ("禁言" /
// "解禁"), each at once through "v1/room/blockuser". It asks "v1/room/user" for the member's
// state each time it opens and comes onto the key window when that request is over, reply or
// not; until a state has come the buttons read and act as for a free member, never on another
// member's state. A tap on the dimmed backdrop closes it; a moderation reply closes it with the
// reply's text as a toast; choosing to mute closes it for the duration picker. Made with
// viewForXib.
class ZV_ChatUserAlert : public UIView {
public:
    static constexpr std::int64_t roomID = 1;

    ZV_ChatUserAlert();

    std::string className() const override { return "ZV_ChatUserAlert"; }

    // Puts the card together, styles it and wires its taps once the view is owned.
    void awakeFromNib();

    // The tapped message; its sender is the member shown.
    std::optional<Message> model;
    // The member's state from the server; none until the reply of this opening arrived.
    std::shared_ptr<ZV_MessageCurrentModel> zv_currentModel;

    const std::shared_ptr<UIView>& bgView() const { return m_bgView; }
    const std::shared_ptr<UIView>& contentView() const { return m_contentView; }
    const std::shared_ptr<UIView>& infoView() const { return m_infoView; }
    const std::shared_ptr<UIImageView>& headImgView() const { return m_headImgView; }
    const std::shared_ptr<UILabel>& titleLb() const { return m_titleLb; }
    const std::shared_ptr<UILabel>& desLb() const { return m_desLb; }
    const std::shared_ptr<UIButton>& bannedBtn() const { return m_bannedBtn; }
    const std::shared_ptr<UIButton>& mushinBtn() const { return m_mushinBtn; }

    // Fills picture, name line and id line from the model.
    void updateContent();
    // Forgets the previous state, asks for the member's and shows the card when the answer is in.
    void requestUserState();
    void userStateHandler(std::uint64_t opening, std::optional<JSON> json, std::optional<NSError> error);
    void updateButtonTitles();
    void clickBanned();
    void clickMushin();
    void muteTimeHandler(int seconds);
    void blockUser(std::int64_t userId, int type, std::int64_t time);
    void blockUserHandler(std::optional<JSON> json, std::optional<NSError> error);

    void layoutSubviews() override;

    // The card: white as designed; in the dark style a dark surface under light texts.
    static UIColor cardColor();

private:
    void dismiss();
    bool isBanned() const;
    bool isMuted() const;

    std::shared_ptr<UIView> m_bgView;
    std::shared_ptr<UIView> m_contentView;
    std::shared_ptr<UIView> m_infoView;
    std::shared_ptr<UIImageView> m_headImgView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UILabel> m_desLb;
    std::shared_ptr<UIButton> m_bannedBtn;
    std::shared_ptr<UIButton> m_mushinBtn;
    // Counts openings, so that a late state reply of an earlier opening is dropped.
    std::uint64_t m_opening = 0;
};
