#include "platform/ui/text/ASAttributedString.h"

ASAttributedString ASAttributedString::image(const UIImage& image, CGFloat baselineOffset)
{
    NSAttributes attributes;
    if (baselineOffset != 0)
        attributes.baselineOffset = baselineOffset;
    return ASAttributedString(NSAttributedString::attachment(image, attributes));
}

ASAttributedString& ASAttributedString::operator+=(const ASAttributedString& other)
{
    m_value.append(other.m_value);
    return *this;
}
