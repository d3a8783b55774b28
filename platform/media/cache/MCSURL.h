#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Addresses and names as the media cache handles them. Every address comes from outside, so
// nothing here trusts one to be well formed.
namespace MCSURL {

// The address in normal form when it is an absolute http or https URL with a host.
std::optional<std::string> normalizedHTTP(std::string_view url);

// `reference` (absolute or relative, as written in a playlist) resolved against `base`; none
// unless the result is an http or https URL.
std::optional<std::string> resolve(std::string_view base, std::string_view reference);

// The last path segment of the address, reduced to letters, digits, '-', '_' and '.', at most
// 64 characters, never "." or ".."; "media" when nothing is left. For display and type sniffing
// only: the cache never builds a file name from an address.
std::string leafName(std::string_view url);

// Lowercase extension of the address's last path segment when it is 1 to 8 letters or digits;
// empty otherwise.
std::string extension(std::string_view url);

// True when `name` is one plain path component that stays inside any folder it is joined to.
bool isSafeComponent(std::string_view name);

// `folder` / `name`, or none when the name is not a safe component.
std::optional<std::filesystem::path> child(const std::filesystem::path& folder, std::string_view name);

// Base64url without padding, and back (none when malformed).
std::string base64URLEncode(std::string_view bytes);
std::optional<std::string> base64URLDecode(std::string_view text);

}
