#include "platform/text/CanonicalOrder.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace CanonicalOrder {

std::string normalizedNFC(std::string_view text)
{
    icu::UnicodeString source = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), text.size()));
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    std::string out;
    if (U_FAILURE(status) || !nfc) {
        // Without ICU's data the text is at least valid UTF-8 in its own order.
        source.toUTF8String(out);
        return out;
    }
    icu::UnicodeString normalized = nfc->normalize(source, status);
    if (U_FAILURE(status))
        normalized = source;
    normalized.toUTF8String(out);
    return out;
}

bool less(std::string_view a, std::string_view b)
{
    // UTF-8 keeps the order of the scalars it encodes, so the bytes compare as the scalars do.
    return normalizedNFC(a) < normalizedNFC(b);
}

}
