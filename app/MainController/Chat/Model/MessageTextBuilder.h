#pragma once

#include "app/MainController/Chat/Model/MockMessage.h"
#include "app/MainController/Chat/Schema/ChatSchema.h"

#include <string_view>

class ZV_ChatVC;

// What the quote of a reply shows when the quoted message is not among the loaded ones.
inline constexpr std::string_view missingQuoteText = "原消息暂不可见";

// The text of a reply's quote: the quoted sender, a space and the time, and on a second line the
// quoted text when it is a text message; missingQuoteText without a quoted message.
std::string replyQuoteText(const Message* quoted);

// The shown form of a chat message. Sender, id and date come from the message; the kind by its
// type: an image is a photo (of its address, or of the placeholder picture when the content is no
// address); a text is plain text, or, when it quotes another message (link_seq above 0), a reply:
// a picture of the quote (the quoted sender, time and text found in the list's messageList) above
// the reply's own text, in white for the viewer's own replies and black otherwise; any other type
// is an empty text.
MockMessage makeMockMessage(const Message& message, const ZV_ChatVC& chatVC);
