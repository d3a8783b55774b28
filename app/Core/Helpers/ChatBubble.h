#pragma once

#include "app/MainController/Chat/Schema/MessageType.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UIImage.h"

#include <optional>

// The chat's quote box as a picture, shown as an image attachment of a reply's text: the text in
// 12 pt system font with 4 pt above and below and 8 pt left and right, wrapped so that the box
// is no wider than the screen width minus 120 pt; the box filled with `backgroundColor` and
// rounded with radius 8, 44 pt taller when the quoted message is an image (the message cell
// draws its thumbnail there); 10 pt of transparent space below the box. Drawn at the main
// screen's scale; an empty image if drawing fails. Main thread.
UIImage chatBubbleImage(std::optional<MessageType> quotedKind, const StyledText& text,
    const UIColor& textColor, const UIColor& backgroundColor);
