#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/MainController/Chat/Schema/ChatSchema.h"

#include <memory>
#include <vector>

class JSON;
class KeyboardNotificationTool;
class ZV_MessageCurrentModel;
class ZV_SocketTool;

// The chat room screen, page 2 of the root tabs. Loading its view tells the root that the chat
// has been seen ("chatNum" clears the badge), loads the room state, the member's state and the
// newest messages from the API into the local store, and wires the chat socket to the store:
// pushed and synced messages are stored, revoked ones removed, each seq listed once.
//
// Until the room has its input bar and join button, a signed-in viewer joins the room when the
// page loads and after each sign-in; every subscription then syncs what is newer than the store.
class ZV_ChatMainVC : public BaseViewController {
public:
    // The socket client; none: the shared one.
    explicit ZV_ChatMainVC(std::shared_ptr<ZV_SocketTool> socketTool = nullptr);
    ~ZV_ChatMainVC() override;

    std::string className() const override { return "ZV_ChatMainVC"; }

    void viewDidLoad() override;

    // Room and member state, updated field by field by the two state requests and the socket.
    const std::shared_ptr<ZV_MessageCurrentModel>& zv_currentModel() const { return m_currentModel; }
    // The messages shown, ascending by seq.
    const std::vector<Message>& messageList() const { return m_messageList; }
    const std::unique_ptr<KeyboardNotificationTool>& keyboardTool() const { return m_keyboardTool; }

    void addObservers();
    void setupSocketBlocks();
    void joinChat();
    void syncNewMessages();
    void socketConnectionChanged(bool connected);
    void roomSubscribed(const SubscribeRoomOutput& output);
    void handleSocketOutput(const Output& output);
    void requestRoomCurrent();
    void requestRoomUser();
    void requestLastMessages();
    void handleLastMessages(const JSON& json);
    void loginSuccess();
    void logoutReset();

private:
    void list(const Message& message);
    void reloadMessageList();

    std::shared_ptr<ZV_SocketTool> m_socketTool;
    std::shared_ptr<ZV_MessageCurrentModel> m_currentModel;
    std::vector<Message> m_messageList;
    std::unique_ptr<KeyboardNotificationTool> m_keyboardTool;
};
