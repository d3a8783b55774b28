// The writing side of the chat room page: texts and pictures, mentions, replies, copying,
// revoking, the extra panel and the keyboard.

#include "app/Core/Helpers/ImageOrientation.h"
#include "app/Core/Helpers/SessionHelpers.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/ViewNib.h"
#include "app/MainController/Chat/Controller/ZV_ChatMainVC.h"
#include "app/MainController/Chat/Controller/ZV_ChatVC.h"
#include "app/MainController/Chat/Socket/ZV_SocketTool.h"
#include "app/MainController/Chat/View/ChatSenderName.h"
#include "app/MainController/Chat/View/ZV_ChatInputView.h"
#include "app/MainController/Chat/View/ZV_ChatReactionView.h"
#include "app/MainController/Chat/View/ZV_ChatTipView.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/Log.h"
#include "platform/ui/MarqueeLabel.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIView.h"
#include "platform/ui/messages/MessagesCollectionView.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUITextView.h"
#include "platform/ui/sharing/UIPasteboard.h"

#include <charconv>
#include <cmath>

namespace {

constexpr int kTextType = 1;
constexpr int kImageType = 3;
constexpr const char* kReplyPrefix = "回复：";

// A message id (a seq in decimal) as the seq it names. Seqs are 64-bit on the wire: narrowing
// one would name another message. None when the id is no whole number.
std::optional<std::int64_t> seqNumber(const std::string& messageId)
{
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(messageId.data(), messageId.data() + messageId.size(), value);
    if (ec != std::errc() || end != messageId.data() + messageId.size() || messageId.empty())
        return std::nullopt;
    return value;
}

const Message* findBySeq(const std::vector<Message>& list, std::optional<std::int64_t> seq)
{
    if (!seq)
        return nullptr;
    for (const Message& message : list) {
        if (message.seq() == *seq)
            return &message;
    }
    return nullptr;
}

}

double ZV_ChatMainVC::jpegQuality(CGSize size)
{
    if (size.width >= 1500 && size.height >= 1500)
        return 0.2;
    if (size.width >= 800 && size.height >= 800)
        return 0.5;
    return 1.0;
}

// ---- Views of the writing side ----

const std::shared_ptr<ZV_ChatVC>& ZV_ChatMainVC::zv_chatVC()
{
    if (!m_chatVC) {
        m_chatVC = std::make_shared<ZV_ChatVC>(m_socketTool);
        std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
        m_chatVC->toUserBlock = [weak](const Message& message) {
            if (auto self = weak.lock())
                self->mentionUser(message);
        };
        const auto& bar = m_chatVC->reactionView();
        // The page owns the list and its pop-up: the actions may refer to it without owning it.
        bar->replyBtn()->addAction(
            UIControlEventTouchUpInside, [this](UIControl&) { replyToSelectedMessage(); });
        bar->recallBtn()->addAction(
            UIControlEventTouchUpInside, [this](UIControl&) { recallSelectedMessage(); });
        bar->copyBtn()->addAction(UIControlEventTouchUpInside, [this](UIControl&) { copySelectedMessage(); });
    }
    return m_chatVC;
}

const std::shared_ptr<ZV_ChatInputView>& ZV_ChatMainVC::zv_inputView()
{
    if (!m_inputView) {
        m_inputView = viewForXib<ZV_ChatInputView>();
        // The page owns the bar: the actions may refer to it without owning it.
        m_inputView->photoBtn()->addAction(
            UIControlEventTouchUpInside, [this](UIControl&) { openPhotoLibrary(); });
        m_inputView->cameraBtn()->addAction(
            UIControlEventTouchUpInside, [this](UIControl&) { openCamera(); });
        m_inputView->joinBtn()->addAction(UIControlEventTouchUpInside, [this](UIControl&) { joinChat(); });
        m_inputView->moreBtn()->addAction(
            UIControlEventTouchUpInside, [this](UIControl&) { toggleMorePanel(); });
        m_inputView->textDoneBlock = [this](const std::string& text) { textDone(text); };
    }
    return m_inputView;
}

// ---- Sending ----

void ZV_ChatMainVC::textDone(const std::string& text)
{
    zv_inputView()->textView()->setText("");
    zv_inputView()->textViewDidChange();
    sendMessage(kTextType, text);
}

std::vector<Message> ZV_ChatMainVC::mentionedUsers(const std::string& content) const
{
    std::vector<Message> mentioned;
    for (const Message& message : zv_toUserList) {
        if (content.find("@" + message.sender().nickname()) != std::string::npos)
            mentioned.push_back(message);
    }
    return mentioned;
}

void ZV_ChatMainVC::sendMessage(int type, const std::string& content)
{
    std::vector<Message> mentioned = mentionedUsers(content);
    auto now = static_cast<std::int64_t>(std::floor(Date::now().timeIntervalSince1970() * 1000));
    JSON parameters = JSON::object(
        { { "sender_type", JSON(2) }, { "receiver_type", JSON(2) }, { "receiver_id", JSON(roomID) },
            { "type", JSON(type) }, { "content", JSON(content) }, { "request_id", JSON(now) } });
    if (!mentioned.empty() && type == kTextType) {
        JSON ids = JSON::array({});
        for (const Message& message : mentioned)
            ids.push_back(JSON(std::to_string(message.sender().sender_id())));
        parameters.set("to_user_ids", ids);
    }
    // The quote was fixed when the reply bar opened; a later long press elsewhere does not move it.
    const auto& replyBar = zv_replyView();
    if (!replyBar->isHidden() && replyBar->seq)
        parameters.set("link_seq", JSON(*replyBar->seq));
    if (type == kTextType)
        replyBar->seq.reset();

    std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
    ZV_Network::shared().request(HTTPMethod::POST, BaseURLs::main_url(), "v1/room/sendmsg", parameters,
        [weak, type](std::optional<JSON> json, std::optional<NSError> error) {
            if (auto self = weak.lock())
                self->sendMessageResult(json, error, type);
        });
}

void ZV_ChatMainVC::sendMessageResult(
    const std::optional<JSON>&, const std::optional<NSError>& error, int type)
{
    if (type == kTextType) {
        zv_replyView()->setHidden(true);
        zv_replyView()->seq.reset();
        zv_toUserList.clear();
    }
    if (error)
        QMUITips::showWithText(error->domain);
    zv_chatVC()->messagesCollectionView()->scrollToLastItem(true);
}

void ZV_ChatMainVC::mentionUser(const Message& message)
{
    if (isCurrentUser(message.sender().sender_id()) || !m_socketTool->isSignIn())
        return;
    zv_toUserList.push_back(message);
    const auto& field = zv_inputView()->textView();
    field->setText(field->text() + "@" + message.sender().nickname());
    zv_inputView()->textViewDidChange();
}

// ---- Message actions ----

void ZV_ChatMainVC::hideReactionView()
{
    zv_chatVC()->reactionView()->hideWithAnimated(true);
}

void ZV_ChatMainVC::replyToSelectedMessage()
{
    if (!m_socketTool->isSignIn())
        joinChat();
    const auto& selected = zv_chatVC()->reactionView()->model();
    if (isLoggedIn()) {
        const auto& bar = zv_replyView();
        bar->setHidden(false);
        if (selected) {
            const MessageKit::MessageKind& kind = selected->kind();
            std::string quoted;
            switch (kind.kind()) {
            case MessageKit::MessageKind::Case::text:
                quoted = kind.textValue();
                break;
            case MessageKit::MessageKind::Case::photo:
                quoted = (kind.mediaItem() ? kind.mediaItem()->url() : std::nullopt).value_or("");
                break;
            case MessageKit::MessageKind::Case::attributedText:
                // A reply shows as its quote's picture: its own words are in the list.
                if (const Message* reply
                    = findBySeq(zv_chatVC()->messageList, seqNumber(selected->messageId())))
                    quoted = reply->message_content();
                break;
            }
            bar->seq = seqNumber(selected->messageId());
            bar->marqueeLabel()->setText(kReplyPrefix + quoted);
        }
    }
    hideReactionView();
}

void ZV_ChatMainVC::copySelectedMessage()
{
    const auto& selected = zv_chatVC()->reactionView()->model();
    if (selected) {
        const MessageKit::MessageKind& kind = selected->kind();
        switch (kind.kind()) {
        case MessageKit::MessageKind::Case::text:
            UIPasteboard::general().setString(kind.textValue());
            break;
        case MessageKit::MessageKind::Case::photo:
            UIPasteboard::general().setString(kind.mediaItem() ? kind.mediaItem()->url() : std::nullopt);
            break;
        case MessageKit::MessageKind::Case::attributedText:
            // A reply copies its own words, not the picture of its quote.
            if (const Message* reply = findBySeq(zv_chatVC()->messageList, seqNumber(selected->messageId())))
                UIPasteboard::general().setString(reply->message_content());
            break;
        }
    }
    hideReactionView();
}

void ZV_ChatMainVC::recallSelectedMessage()
{
    if (const auto& selected = zv_chatVC()->reactionView()->model()) {
        if (std::optional<std::int64_t> seq = seqNumber(selected->messageId()))
            revokeMessage({ *seq });
    }
    hideReactionView();
}

void ZV_ChatMainVC::revokeMessage(const std::vector<std::int64_t>& seqs)
{
    JSON list = JSON::array({});
    for (std::int64_t seq : seqs)
        list.push_back(JSON(seq));
    ZV_Network& network = ZV_Network::shared();
    network.request(HTTPMethod::POST, BaseURLs::main_url(), "v1/room/revokemsg",
        JSON::object({ { "seqs", list }, { "room_id", JSON(roomID) } }), network.errorToastCompletion());
}

// ---- Extra panel and pictures ----

void ZV_ChatMainVC::toggleMorePanel()
{
    const auto& panel = zv_inputView()->moreView();
    panel->setHidden(!panel->isHidden());
    if (panel->isHidden())
        return;
    std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
    DispatchQueue::main().asyncAfter(DispatchTime::now() + 0.1, [weak] {
        if (auto self = weak.lock())
            self->zv_chatVC()->messagesCollectionView()->scrollToLastItem(true);
    });
}

void ZV_ChatMainVC::presentPicker(UIImagePickerControllerSourceType source)
{
    auto picker = std::make_shared<UIImagePickerController>();
    picker->setSourceType(source);
    picker->setDelegate(std::static_pointer_cast<UIImagePickerControllerDelegate>(weakSelf().lock()));
    picker->setAllowsEditing(true);
    picker->setModalPresentationStyle(UIModalPresentationStyle::overFullScreen);
    present(picker, true);
}

void ZV_ChatMainVC::openPhotoLibrary()
{
    presentPicker(UIImagePickerControllerSourceType::photoLibrary);
}

void ZV_ChatMainVC::openCamera()
{
    if (!UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType::camera)) {
        Log::write("模拟其中无法打开照相机,请在真机中使用");
        return;
    }
    presentPicker(UIImagePickerControllerSourceType::camera);
}

void ZV_ChatMainVC::imagePickerControllerDidFinishPickingMediaWithInfo(
    UIImagePickerController& picker, const UIImagePickerMediaInfo& info)
{
    if (info.mediaType != "public.image" || !info.editedImage) {
        picker.dismiss(true);
        return;
    }
    UIImage image = *info.editedImage;
    if (image.hasBitmap()) {
        UIImage redrawn = UIImage::fromSurface(image.cairoSurface(), 1.0, image.imageOrientation());
        image = fixOrientation(redrawn).value_or(redrawn);
    }
    if (std::optional<Data> jpeg = image.jpegData(jpegQuality(image.size()))) {
        std::weak_ptr<ZV_ChatMainVC> weak = weakSelf();
        ZV_Network::shared().uploadImage(
            ZV_API::uploadImage, std::move(*jpeg), "image", "image.jpg", "image/jpeg",
            [weak](std::optional<JSON> json, std::optional<NSError> error) {
                if (auto self = weak.lock())
                    self->imageUploaded(json, error);
            });
    }
    picker.dismiss(true);
}

void ZV_ChatMainVC::imageUploaded(const std::optional<JSON>& json, const std::optional<NSError>& error)
{
    // Only a stored picture is sent: a refusal or a reply without an address is reported instead.
    if (error || !json) {
        QMUITips::showWithText(error ? error->domain : "图片上传失败");
        return;
    }
    std::int64_t code = (*json)["errorCode"].intValue();
    std::string url = (*json)["data"]["url"].stringValue();
    if (code != 0 || url.empty()) {
        std::string message = (*json)["msg"].stringValue();
        QMUITips::showWithText(code != 0 && !message.empty() ? message : "图片上传失败");
        return;
    }
    sendMessage(kImageType, url);
    zv_inputView()->moreView()->setHidden(true);
}

// ---- Keyboard ----

void ZV_ChatMainVC::setSendButtonHidden(bool sendHidden, bool moreButtonHidden)
{
    UIView::performWithoutAnimation([&] {
        zv_inputView()->sendView()->setHidden(sendHidden);
        zv_inputView()->moreBtn()->setHidden(moreButtonHidden);
    });
}

void ZV_ChatMainVC::keyboardWillShow()
{
    setSendButtonHidden(false, true);
    auto& list = *zv_chatVC()->messagesCollectionView();
    list.scrollToLastItem(true);
    list.setContentInset({});
}

void ZV_ChatMainVC::keyboardWillHide()
{
    setSendButtonHidden(true, false);
}
