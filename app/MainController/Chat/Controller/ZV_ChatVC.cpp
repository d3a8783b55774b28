#include "app/MainController/Chat/Controller/ZV_ChatVC.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/SessionHelpers.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Extensions/ViewNib.h"
#include "app/MainController/Chat/Model/MessageSender.h"
#include "app/MainController/Chat/Model/ZV_MessageCurrentModel.h"
#include "app/MainController/Chat/Socket/ZV_SocketTool.h"
#include "app/MainController/Chat/View/ChatSenderName.h"
#include "app/MainController/Chat/View/ZV_ChatReactionView.h"
#include "app/MainController/Chat/View/ZV_ChatUserAlert.h"
#include "app/MainController/Chat/View/ZV_MediaMessageCell.h"
#include "app/MainController/Chat/View/ZV_TextMessageCell.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "app/MainController/Other/View/PhotoBrowser.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/messages/MessageKitDateFormatter.h"
#include "platform/ui/messages/MessagesCollectionViewFlowLayout.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "platform/ui/refresh/MJRefreshAutoStateFooter.h"

#include <charconv>

namespace {

constexpr const char* kJoinTip = "加入聊天查看更多消息";

// The profile id as a number, read as far as it goes ("012" is 12, "" and "x" are 0). User ids
// are 64-bit on the wire: a narrowed id would take another member's bubbles for the viewer's.
std::int64_t viewerNumber()
{
    const auto& profile = ConfigSingleton::shared().zv_userInfoModel;
    if (!profile)
        return 0;
    std::string_view text = profile->id;
    std::size_t start = text.find_first_not_of(" \t\n");
    if (start == std::string_view::npos)
        return 0;
    text.remove_prefix(start);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}

ZV_ChatVC::ZV_ChatVC(std::shared_ptr<ZV_SocketTool> socketTool)
    : m_socketTool(std::move(socketTool))
{ }

ZV_ChatVC::~ZV_ChatVC() = default;

ZV_SocketTool& ZV_ChatVC::socketTool() const
{
    return m_socketTool ? *m_socketTool : ZV_SocketTool::shared();
}

void ZV_ChatVC::viewDidLoad()
{
    MessagesViewController::viewDidLoad();
    setupUI();
}

void ZV_ChatVC::setupUI()
{
    auto& list = *messagesCollectionView();
    list.setBackgroundColor(zvadaptive::pageColor(colorWithHex("F2F4F7", 1.0)));
    view()->setBackgroundColor(zvadaptive::pageColor(colorWithHex("F2F4F7", 1.0)));

    auto self = std::dynamic_pointer_cast<ZV_ChatVC>(sharedFromThis());
    list.setMessagesLayoutDelegate(std::static_pointer_cast<MessageKit::MessagesLayoutDelegate>(self));
    list.setMessagesDisplayDelegate(std::static_pointer_cast<MessageKit::MessagesDisplayDelegate>(self));
    list.setMessagesDataSource(std::static_pointer_cast<MessageKit::MessagesDataSource>(self));
    list.setMessageCellDelegate(std::static_pointer_cast<MessageKit::MessageCellDelegate>(self));

    registerCell<ZV_TextMessageCell>(list);
    registerCell<ZV_MediaMessageCell>(list);

    // The list and its controls live no longer than this screen.
    addRefreshHeader(list, [this] { loadOlderMessages(); });
    setMjFooter(list, std::make_shared<MJRefreshAutoStateFooter>([this] { loadNewerMessages(); }));

    if (auto* layout = list.messagesCollectionViewFlowLayout()) {
        MessageKit::AvatarPosition top { MessageKit::AvatarPosition::Horizontal::natural,
            MessageKit::AvatarPosition::Vertical::messageTop };
        layout->setMessageIncomingAvatarPosition(top);
        layout->setMessageOutgoingAvatarPosition(top);
    }

    view()->addSubview(bottomBtn());
    snp(*bottomBtn()).makeConstraints([](ConstraintMaker& make) {
        make.bottom().equalToSuperview().offset(-24);
        make.right().equalToSuperview().offset(-10);
        make.size().equalTo(CGSize { 46, 46 });
    });
}

const std::shared_ptr<ZV_ChatReactionView>& ZV_ChatVC::reactionView()
{
    if (!m_reactionView)
        m_reactionView = std::make_shared<ZV_ChatReactionView>();
    return m_reactionView;
}

const std::shared_ptr<UIButton>& ZV_ChatVC::bottomBtn()
{
    if (!m_bottomBtn) {
        m_bottomBtn = std::make_shared<UIButton>();
        m_bottomBtn->setImage(UIImage::named("chat_more_bottom"));
        m_bottomBtn->setHidden(true);
        m_bottomBtn->addAction(UIControlEventTouchUpInside,
            [this](UIControl&) { qmui_scrollToBottom(*messagesCollectionView(), true); });
    }
    return m_bottomBtn;
}

const std::shared_ptr<ZV_ChatUserAlert>& ZV_ChatVC::zv_chatUserAlert()
{
    if (!m_chatUserAlert)
        m_chatUserAlert = viewForXib<ZV_ChatUserAlert>();
    return m_chatUserAlert;
}

const Message* ZV_ChatVC::messageAt(int section) const
{
    if (section < 0 || section >= static_cast<int>(messageList.size()))
        return nullptr;
    return &messageList[static_cast<std::size_t>(section)];
}

bool ZV_ChatVC::shouldShowTimeLabel(int section) const
{
    if (section == 0)
        return true;
    if (section < 0 || section >= static_cast<int>(messages.size()))
        return false;
    double gap = messages[static_cast<std::size_t>(section)].sentDate().timeIntervalSince1970()
        - messages[static_cast<std::size_t>(section) - 1].sentDate().timeIntervalSince1970();
    return gap >= timeLabelGap;
}

// ---- Paging ----

bool ZV_ChatVC::canPage() const
{
    return isLoggedIn() && socketTool().isSignIn();
}

void ZV_ChatVC::loadOlderMessages()
{
    auto& list = *messagesCollectionView();
    if (!canPage() || messageList.empty()) {
        if (auto header = mjHeader(list))
            header->endRefreshing();
        if (!canPage())
            QMUITips::showWithText(kJoinTip);
        return;
    }
    flag = -1;
    socketTool().sync(-1, messageList.front().seq());
}

void ZV_ChatVC::loadNewerMessages()
{
    auto& list = *messagesCollectionView();
    bool signedIn = canPage();
    if (signedIn && !messageList.empty()) {
        flag = 1;
        socketTool().sync(1, resync.pulled(messageList.back().seq()).value_or(messageList.back().seq()));
        return;
    }
    endFooterRefreshing(list, has_more);
    if (!signedIn)
        QMUITips::showWithText(kJoinTip);
}

// ---- Data source ----

std::shared_ptr<const MessageKit::SenderType> ZV_ChatVC::currentSender() const
{
    return MessageSender::current();
}

int ZV_ChatVC::numberOfSections(MessageKit::MessagesCollectionView&)
{
    return static_cast<int>(messages.size());
}

const MessageKit::MessageType& ZV_ChatVC::messageForItem(
    const IndexPath& indexPath, MessageKit::MessagesCollectionView&)
{
    return messages[static_cast<std::size_t>(indexPath.section)];
}

std::optional<NSAttributedString> ZV_ChatVC::cellTopLabelAttributedText(
    const MessageKit::MessageType&, const IndexPath& indexPath)
{
    if (!shouldShowTimeLabel(indexPath.section) || indexPath.section >= static_cast<int>(messages.size()))
        return std::nullopt;
    NSAttributes attributes;
    attributes.font = UIFont::boldSystemFont(14);
    attributes.foregroundColor = zvadaptive::textColor(colorWithHex("1D1942", 0.3));
    Date date = messages[static_cast<std::size_t>(indexPath.section)].sentDate();
    return NSAttributedString(MessageKit::MessageKitDateFormatter::shared().string(date), attributes);
}

std::optional<NSAttributedString> ZV_ChatVC::messageTopLabelAttributedText(
    const MessageKit::MessageType&, const IndexPath& indexPath)
{
    const Message* message = messageAt(indexPath.section);
    if (!message)
        return std::nullopt;
    return nicknameWithAdminBadge(*message).value();
}

std::shared_ptr<MessageKit::TextMessageCell> ZV_ChatVC::textCell(const MessageKit::MessageType& message,
    const IndexPath& indexPath, MessageKit::MessagesCollectionView& view)
{
    auto cell = dequeueCell<ZV_TextMessageCell>(view, indexPath);
    std::optional<Message> quoted;
    // Only a reply quotes: a plain message's link_seq 0 must not pick up a message of seq 0.
    if (const Message* shown = messageAt(indexPath.section); shown && shown->link_seq() > 0) {
        for (const Message& candidate : messageList) {
            if (candidate.seq() == shown->link_seq()) {
                quoted = candidate;
                break;
            }
        }
    }
    cell->setModel(std::move(quoted));
    cell->configure(message, indexPath, view);
    int section = indexPath.section;
    std::weak_ptr<UIView> bubble = cell->messageContainerView();
    cell->messageAvatarViewBlock = [this, section] { avatarLongPressed(section); };
    cell->messageContainerViewBlock = [this, section, bubble] { bubbleLongPressed(section, bubble.lock()); };
    return cell;
}

std::shared_ptr<MessageKit::MediaMessageCell> ZV_ChatVC::photoCell(const MessageKit::MessageType& message,
    const IndexPath& indexPath, MessageKit::MessagesCollectionView& view)
{
    auto cell = dequeueCell<ZV_MediaMessageCell>(view, indexPath);
    cell->configure(message, indexPath, view);
    int section = indexPath.section;
    std::weak_ptr<UIView> bubble = cell->messageContainerView();
    cell->messageAvatarViewBlock = [this, section] { avatarLongPressed(section); };
    cell->messageContainerViewBlock = [this, section, bubble] { bubbleLongPressed(section, bubble.lock()); };
    return cell;
}

// ---- Display ----

UIColor ZV_ChatVC::backgroundColor(
    const MessageKit::MessageType&, const IndexPath& indexPath, MessageKit::MessagesCollectionView&)
{
    const Message* message = messageAt(indexPath.section);
    if (message && message->sender().sender_id() == viewerNumber())
        return ownBubbleColor();
    return UIColor::white();
}

UIColor ZV_ChatVC::ownBubbleColor()
{
    return zvadaptive::whiteTextFill(colorWithHex("5F8BFF", 1.0));
}

void ZV_ChatVC::configureAvatarView(MessageKit::AvatarView& avatar, const MessageKit::MessageType&,
    const IndexPath& indexPath, MessageKit::MessagesCollectionView&)
{
    avatar.setBackgroundColor(UIColor::white());
    const Message* message = messageAt(indexPath.section);
    if (message && parsesAsURL(message->sender().avatar_url())) {
        sd_setImage(avatar, message->sender().avatar_url(), UIImage::named("mine_user"));
        return;
    }
    sd_cancelCurrentImageLoad(avatar);
    avatar.setImage(UIImage::named("mine_user"));
}

void ZV_ChatVC::configureMediaMessageImageView(UIImageView& imageView, const MessageKit::MessageType& message,
    const IndexPath&, MessageKit::MessagesCollectionView&)
{
    imageView.setBackgroundColor(UIColor::white());
    const MessageKit::MessageKind& kind = message.kind();
    if (kind.kind() == MessageKit::MessageKind::Case::photo && kind.mediaItem()) {
        if (std::optional<std::string> url = kind.mediaItem()->url()) {
            sd_setImage(imageView, *url, UIImage::named("image_message_placeholder"));
            return;
        }
    }
    sd_cancelCurrentImageLoad(imageView);
    imageView.setImage(UIImage::named("image_message_placeholder"));
}

// ---- Layout ----

CGFloat ZV_ChatVC::cellTopLabelHeight(
    const MessageKit::MessageType&, const IndexPath& indexPath, MessageKit::MessagesCollectionView&)
{
    return shouldShowTimeLabel(indexPath.section) ? 18 : 0;
}

CGFloat ZV_ChatVC::messageTopLabelHeight(
    const MessageKit::MessageType&, const IndexPath& indexPath, MessageKit::MessagesCollectionView&)
{
    const Message* message = messageAt(indexPath.section);
    return message && !message->sender().nickname().empty() ? 30 : 10;
}

// ---- Gestures ----

std::optional<int> ZV_ChatVC::sectionOf(MessageKit::MessageCollectionViewCell& cell) const
{
    if (!dynamic_cast<MessageKit::MessageContentCell*>(&cell))
        return std::nullopt;
    std::optional<IndexPath> indexPath = messagesCollectionView()->indexPathForCell(cell);
    if (!indexPath)
        return std::nullopt;
    return indexPath->section;
}

void ZV_ChatVC::didTapAvatar(MessageKit::MessageCollectionViewCell& cell)
{
    std::optional<int> section = sectionOf(cell);
    const Message* message = section ? messageAt(*section) : nullptr;
    if (!message || isCurrentUser(message->sender().sender_id()))
        return;
    if (!zv_currentModel || zv_currentModel->member_type != 1)
        return;
    const auto& card = zv_chatUserAlert();
    card->model = *message;
    card->updateContent();
    card->requestUserState();
}

void ZV_ChatVC::didTapImage(MessageKit::MessageCollectionViewCell& cell)
{
    std::optional<int> section = sectionOf(cell);
    const Message* message = section ? messageAt(*section) : nullptr;
    if (!message || message->message_type() != MT_IMAGE)
        return;
    auto browser = PhotoBrowser::create();
    browser->setImages(std::vector<PhotoBrowserEntry> { message->message_content() });
    browser->showOn(UIApplication::shared().keyWindow());
}

void ZV_ChatVC::avatarLongPressed(int section)
{
    const Message* message = messageAt(section);
    if (message && toUserBlock)
        toUserBlock(*message);
}

void ZV_ChatVC::bubbleLongPressed(int section, const std::shared_ptr<UIView>& bubble)
{
    if (section < 0 || section >= static_cast<int>(messages.size()))
        return;
    const auto& bar = reactionView();
    bar->setModel(messages[static_cast<std::size_t>(section)]);
    bar->setSourceView(bubble);
    bar->showWithAnimated(true);
}

void ZV_ChatVC::scrollViewDidScroll(UIScrollView& scrollView)
{
    bool nearBottom
        = scrollView.contentOffset().y + view()->bounds().height() + 160 >= scrollView.contentSize().height;
    bottomBtn()->setHidden(nearBottom);
}
