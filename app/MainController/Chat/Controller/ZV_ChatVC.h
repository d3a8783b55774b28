#pragma once

#include "app/MainController/Chat/Model/ChatResync.h"
#include "app/MainController/Chat/Model/MockMessage.h"
#include "app/MainController/Chat/Schema/ChatSchema.h"
#include "platform/ui/messages/MessagesViewController.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class UIButton;
class ZV_ChatReactionView;
class ZV_ChatUserAlert;
class ZV_MessageCurrentModel;
class ZV_SocketTool;

// The chat room's message list, one message per section: a time label above a message that
// comes 300 s or more after the one before (and above the first), the sender's name line above
// every bubble, the viewer's own bubbles blue, reply quotes and pictures. A long press on an
// avatar mentions its sender (toUserBlock), on a bubble opens the reaction bar; an administrator's
// tap on another member's avatar opens the member card; a tap on a picture opens it full screen.
// Older and newer pages come over the chat socket (pull down, footer) once the viewer has joined;
// the chat page handles the replies. A round button brings the list back to its newest message.
//
// The chat page owns the lists: it always replaces messageList and messages together (element i
// of messages is built from element i of messageList) and reloads.
class ZV_ChatVC : public MessageKit::MessagesViewController,
                  public MessageKit::MessagesDataSource,
                  public MessageKit::MessagesDisplayDelegate,
                  public MessageKit::MessagesLayoutDelegate,
                  public MessageKit::MessageCellDelegate,
                  public JXSegmentedListContainerViewListDelegate {
public:
    static constexpr double timeLabelGap = 300;

    // The socket client for paging; none: the shared one.
    explicit ZV_ChatVC(std::shared_ptr<ZV_SocketTool> socketTool = nullptr);
    ~ZV_ChatVC() override;

    std::string className() const override { return "ZV_ChatVC"; }

    std::function<void(const Message&)> toUserBlock;
    // The direction of the last paging request: -1 older, 1 newer.
    std::int64_t flag = 1;
    // Whether the server holds newer messages.
    bool has_more = false;
    int more_msg_count = 0;
    // Where newer pages start while messages may be missing before the newest listed one.
    ChatResync resync;
    std::vector<MockMessage> messages;
    std::shared_ptr<ZV_MessageCurrentModel> zv_currentModel;
    std::vector<Message> messageList;

    const std::shared_ptr<ZV_ChatReactionView>& reactionView();
    const std::shared_ptr<UIButton>& bottomBtn();
    const std::shared_ptr<ZV_ChatUserAlert>& zv_chatUserAlert();

    void viewDidLoad() override;
    virtual void setupUI();

    bool shouldShowTimeLabel(int section) const;
    void loadOlderMessages();
    void loadNewerMessages();

    // MessagesDataSource
    std::shared_ptr<const MessageKit::SenderType> currentSender() const override;
    // The list's own count (of the collection view's data source) stays beside the messages' one.
    using MessageKit::MessagesViewController::numberOfSections;
    int numberOfSections(MessageKit::MessagesCollectionView&) override;
    const MessageKit::MessageType& messageForItem(
        const IndexPath& indexPath, MessageKit::MessagesCollectionView&) override;
    std::optional<NSAttributedString> cellTopLabelAttributedText(
        const MessageKit::MessageType&, const IndexPath& indexPath) override;
    std::optional<NSAttributedString> messageTopLabelAttributedText(
        const MessageKit::MessageType&, const IndexPath& indexPath) override;
    std::shared_ptr<MessageKit::TextMessageCell> textCell(const MessageKit::MessageType& message,
        const IndexPath& indexPath, MessageKit::MessagesCollectionView& view) override;
    std::shared_ptr<MessageKit::MediaMessageCell> photoCell(const MessageKit::MessageType& message,
        const IndexPath& indexPath, MessageKit::MessagesCollectionView& view) override;

    // The viewer's own bubbles: the design's blue, deeper in the dark style under their white text.
    static UIColor ownBubbleColor();

    // MessagesDisplayDelegate
    UIColor backgroundColor(const MessageKit::MessageType&, const IndexPath& indexPath,
        MessageKit::MessagesCollectionView&) override;
    void configureAvatarView(MessageKit::AvatarView& avatar, const MessageKit::MessageType&,
        const IndexPath& indexPath, MessageKit::MessagesCollectionView&) override;
    void configureMediaMessageImageView(UIImageView& imageView, const MessageKit::MessageType& message,
        const IndexPath&, MessageKit::MessagesCollectionView&) override;

    // MessagesLayoutDelegate
    CGFloat cellTopLabelHeight(const MessageKit::MessageType&, const IndexPath& indexPath,
        MessageKit::MessagesCollectionView&) override;
    CGFloat messageTopLabelHeight(const MessageKit::MessageType&, const IndexPath& indexPath,
        MessageKit::MessagesCollectionView&) override;

    // MessageCellDelegate
    void didTapAvatar(MessageKit::MessageCollectionViewCell& cell) override;
    void didTapImage(MessageKit::MessageCollectionViewCell& cell) override;

    void scrollViewDidScroll(UIScrollView& scrollView) override;
    std::shared_ptr<UIView> listView() override { return view(); }

private:
    const Message* messageAt(int section) const;
    std::optional<int> sectionOf(MessageKit::MessageCollectionViewCell& cell) const;
    void avatarLongPressed(int section);
    void bubbleLongPressed(int section, const std::shared_ptr<UIView>& bubble);
    bool canPage() const;
    ZV_SocketTool& socketTool() const;

    std::shared_ptr<ZV_SocketTool> m_socketTool;
    std::shared_ptr<ZV_ChatReactionView> m_reactionView;
    std::shared_ptr<UIButton> m_bottomBtn;
    std::shared_ptr<ZV_ChatUserAlert> m_chatUserAlert;
};
