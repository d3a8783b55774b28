#pragma once

#include "app/MainController/Chat/Schema/ChatSchema.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/text/ASAttributedString.h"

#include <cstdint>
#include <string>

// Who wrote a chat message, as every chat screen shows it, and whether that is the viewer.

// The sender's nickname (14 pt, "1D1942" at 0.6) and, after one space, a badge: "管理员" for a
// room administrator (member_type 1), else the sender's rank name on its colour when it has one.
// A message without a sender gives an empty line.
ASAttributedString nicknameWithAdminBadge(const Message& message);

// The text (10 pt semibold, centred) on a rounded rectangle 8 pt wider and 6 pt taller, corner
// radius 4, at the screen's scale; an empty background text leaves it transparent. Never empty
// unless drawing fails.
UIImage badgeImage(const std::string& text, const std::string& backgroundHex, const std::string& textHex);

// Whether the id, in decimal, is the signed-in viewer's profile id; false with nobody signed in.
bool isCurrentUser(std::int64_t id);
