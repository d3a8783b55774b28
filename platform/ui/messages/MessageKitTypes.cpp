#include "platform/ui/messages/MessageKitTypes.h"

namespace MessageKit {

MessageKind MessageKind::text(std::string text)
{
    MessageKind kind;
    kind.m_case = Case::text;
    kind.m_text = std::move(text);
    return kind;
}

MessageKind MessageKind::attributedText(NSAttributedString text)
{
    MessageKind kind;
    kind.m_case = Case::attributedText;
    kind.m_attributedText = std::move(text);
    return kind;
}

MessageKind MessageKind::photo(std::shared_ptr<const MediaItem> item)
{
    MessageKind kind;
    kind.m_case = Case::photo;
    kind.m_media = std::move(item);
    return kind;
}

}
