#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The members of a JSON object as raw text, found without decoding them: a stored file with one
// bad byte (invalid UTF-8, a broken value, a cut end) is still split into its members, so that
// each member that reads well can be kept on its own. Strings are skipped byte by byte, so a bad
// byte inside one damages that member only.
struct JSONRawMember {
    std::string_view name; // the name's JSON string, quotes included
    std::string_view value; // the value's text, not checked
};

struct JSONRawObject {
    std::vector<JSONRawMember> members;
    // False when the text broke off or went wrong before the closing brace; `members` holds those
    // read whole up to there.
    bool complete = false;
    // The member whose value broke off, with the value's text up to the end: its name is known,
    // its value is only a beginning.
    std::optional<JSONRawMember> broken;
};

// The members of the object that `text` starts with (after white space); none when it does not
// start with one. Nesting deeper than `maxDepth` ends the scan there.
std::optional<JSONRawObject> splitJSONObject(std::string_view text, int maxDepth = 64);

// A stored file of the shape {"format": <format>, "version": <version>, "<container>": {...}} read
// leniently: the raw members of the container object. None when the text is not such a file: the
// format must read as given, and the version too unless the text broke off before it. The
// container may itself be cut short (then it is not complete).
std::optional<JSONRawObject> salvageStoredContainer(
    std::string_view text, std::string_view format, int version, std::string_view container);

// The name of a raw member as a person can read it in a log line: decoded when it is good JSON,
// else its bytes with each one that is not printable ASCII as "?"; at most 80 characters.
std::string readableMemberName(std::string_view rawName);
