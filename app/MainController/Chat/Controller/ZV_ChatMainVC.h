#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/MainController/Chat/Schema/ChatSchema.h"
#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"
#include "platform/ui/photos/UIImagePickerController.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class KeyboardNotificationTool;
struct MockMessage;
class UILabel;
class ZV_ChatHeadView;
class ZV_ChatInputView;
class ZV_ChatTipView;
class ZV_ChatVC;
class ZV_MessageCurrentModel;
class ZV_SocketTool;

// The chat room, page 2 of the root tabs: the head with the online count, the message list, the
// room's notice, the reply bar, the input bar and, while the viewer is restricted, a mute notice
// in its place. Loading it tells the root to recount the chat badge ("chatNum"), loads the room
// state, the member's state (signed in) and the newest messages into the local store and the
// list. The socket connects only when a signed-in viewer taps join (signed out, join opens the
// login) and the viewer's profile is known, since the socket signs in as the profile's account.
// A viewer who signs in from here may never have opened the personal centre that fetches it: the
// page asks for it itself at the sign-in and, still missing, at the tap, which then joins when it
// comes. Once subscribed, each connection syncs what is newer than the newest message known
// before it opened (ChatResync), whatever it pushed meanwhile.
//
// Messages enter the store and the list only from the server: pushes, sync replies and the
// history; each seq is listed once, in order. A revoked message leaves the list whether the
// store held it or not. Sending, replies, mentions, copying, revoking and pictures go through
// the API without a local echo: what is sent shows up when the room pushes it back.
class ZV_ChatMainVC : public BaseViewController, public UIImagePickerControllerDelegate {
public:
    static constexpr std::int64_t roomID = 1;

    // The socket client; none: the shared one.
    explicit ZV_ChatMainVC(std::shared_ptr<ZV_SocketTool> socketTool = nullptr);
    ~ZV_ChatMainVC() override;

    std::string className() const override { return "ZV_ChatMainVC"; }

    // The mute notice for a restriction; none while the member is free. -1 is a ban; else the
    // seconds left in whole days, hours or minutes.
    static std::optional<std::string> mushinText(std::int64_t isBlock, std::int64_t remainTime);
    // JPEG quality of a picked picture: 0.2 from 1500 pt on both sides, 0.5 from 800, else 1.0.
    static double jpegQuality(CGSize size);

    // Messages whose senders are mentioned in the text being written.
    std::vector<Message> zv_toUserList;
    // Room and member state, updated field by field by the two state requests and the socket.
    const std::shared_ptr<ZV_MessageCurrentModel>& zv_currentModel() const { return m_currentModel; }
    const std::shared_ptr<ZV_ChatHeadView>& zv_headView();
    const std::shared_ptr<ZV_ChatVC>& zv_chatVC();
    const std::shared_ptr<ZV_ChatInputView>& zv_inputView();
    const std::shared_ptr<ZV_ChatTipView>& zv_notiView();
    const std::shared_ptr<ZV_ChatTipView>& zv_replyView();
    const std::shared_ptr<UILabel>& zv_mushinTipLb();
    const std::unique_ptr<KeyboardNotificationTool>& zv_keyboardNotificationTool();
    // The messages shown, ascending by seq (the list's messageList).
    const std::vector<Message>& messageList();

    void viewDidLoad() override;

    virtual void logoutReset();
    virtual void setupUI();
    virtual void addObservers();
    virtual void setupSocketBlocks();
    virtual void refreshRoomState();
    virtual void joinChat();
    virtual void updateMuteState(std::int64_t isBlock, std::int64_t remainTime);
    virtual bool isNearBottom();

    void loginSuccess();
    void requestRoomCurrent();
    void requestLastMessages();
    void requestRoomUser();
    void handleSocketOutput(const Output& output);
    void socketConnectionChanged(bool connected);
    void roomSubscribed(const SubscribeRoomOutput& output);
    void syncNewMessages();
    void handleLastMessages(const JSON& json);
    std::vector<MockMessage> mockMessage(const std::vector<Message>& messages);
    void scrollToBottomIfNearBottom();

    // ---- Sending and message actions ----
    void sendMessage(int type, const std::string& content);
    void sendMessageResult(const std::optional<JSON>& json, const std::optional<NSError>& error, int type);
    void textDone(const std::string& text);
    void mentionUser(const Message& message);
    std::vector<Message> mentionedUsers(const std::string& content) const;
    void replyToSelectedMessage();
    void recallSelectedMessage();
    void copySelectedMessage();
    void revokeMessage(const std::vector<std::int64_t>& seqs);
    void toggleMorePanel();
    void openPhotoLibrary();
    void openCamera();
    void imagePickerControllerDidFinishPickingMediaWithInfo(
        UIImagePickerController& picker, const UIImagePickerMediaInfo& info) override;
    void imageUploaded(const std::optional<JSON>& json, const std::optional<NSError>& error);
    void keyboardWillShow();
    void keyboardWillHide();
    void setSendButtonHidden(bool sendHidden, bool moreButtonHidden);

private:
    std::weak_ptr<ZV_ChatMainVC> weakSelf();
    void connectSocket();
    // Asks for the signed-in viewer's profile, once while a request of this sign-in is under way.
    void requestProfile();
    void profileReceived(const std::optional<JSON>& json, std::uint64_t signInEpoch);
    void syncNewer(std::int64_t from);
    // The newest seq of the store and the list; none when both are empty.
    std::optional<std::int64_t> newestKnownSeq();
    void list(const Message& message);
    // The list from messageList: display values rebuilt, then reloaded.
    void rebuildList();
    void hideReactionView();
    void presentPicker(UIImagePickerControllerSourceType source);

    std::shared_ptr<ZV_SocketTool> m_socketTool;
    std::shared_ptr<ZV_MessageCurrentModel> m_currentModel;
    std::shared_ptr<ZV_ChatHeadView> m_headView;
    std::shared_ptr<ZV_ChatVC> m_chatVC;
    std::shared_ptr<ZV_ChatInputView> m_inputView;
    std::shared_ptr<ZV_ChatTipView> m_notiView;
    std::shared_ptr<ZV_ChatTipView> m_replyView;
    std::shared_ptr<UILabel> m_mushinTipLb;
    std::unique_ptr<KeyboardNotificationTool> m_keyboardTool;
    // Bumped at every sign-in and sign-out: a profile asked for before belongs to another account.
    std::uint64_t m_signInEpoch = 0;
    // The epoch whose profile request is under way.
    std::optional<std::uint64_t> m_profileRequestEpoch;
    // Join was tapped before the profile came: it joins when it comes.
    bool m_joinOnProfile = false;
};
