#pragma once

#include "platform/foundation/Data.h"
#include "platform/json/JSON.h"

#include <optional>
#include <string>

struct JSONWritingOptions {
    // Objects always keep their keys in byte order of the UTF-8 text, so the
    // output is sorted either way; callers whose bytes are compared by the
    // server (the JSON request headers) say so here all the same.
    bool sortedKeys = false;
    // A top-level string, number, Boolean or null may be written.
    bool fragmentsAllowed = true;
    // Two-space indentation, one member or element per line, " : " after keys.
    bool prettyPrinted = false;
};

// The platform's JSON reader and writer.
namespace JSONSerialization {

// nullopt when the bytes are not JSON (bad grammar, invalid UTF-8, nesting
// deeper than JSON::maxDepth, a number beyond the range of a double). With
// fragments allowed a bare top-level string, number, Boolean or null is read.
std::optional<JSON> jsonObject(const Data& data, bool fragmentsAllowed = true);

// Compact text (no spaces or line breaks); non-ASCII is written as UTF-8 and
// "/" is not escaped. nullopt when the value cannot be written: NaN or an
// infinity, a string that is not valid UTF-8, nesting deeper than
// JSON::maxDepth, or a top-level fragment when fragments are not allowed.
std::optional<std::string> string(const JSON& value, bool sortedKeys = false, bool fragmentsAllowed = true);
std::optional<std::string> string(const JSON& value, const JSONWritingOptions& options);

}
