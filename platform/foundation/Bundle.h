#pragma once

#include "platform/foundation/PropertyList.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Keys of the application's information file that the platform layer knows, with built-in defaults.
// Every address default is on the loopback interface.
namespace InfoKey {
inline constexpr std::string_view DisplayName = "CFBundleDisplayName"; // Zentavo
inline constexpr std::string_view MainURL = "MainURL"; // https://127.0.0.1:9313/api/
inline constexpr std::string_view ShortURL = "ShortURL"; // http://127.0.0.1:4399/api/v1/video/display
inline constexpr std::string_view CaptchaURL = "CaptchaURL"; // https://127.0.0.1:9312/captcha.html
inline constexpr std::string_view HelpURL = "HelpURL"; // http://127.0.0.1:8823/
inline constexpr std::string_view WebSocketURL = "WebSocketURL"; // wss://127.0.0.1:9314/ws
inline constexpr std::string_view DomainFileURL = "DomainFileURL"; // https://127.0.0.1:9310/domain_v2.json
inline constexpr std::string_view DoHResolverURL = "DoHResolverURL"; // empty: off
inline constexpr std::string_view ProbeHost = "ProbeHost"; // 127.0.0.1
inline constexpr std::string_view APIPublicKey = "APIPublicKey"; // base64 PKCS#1 DER; empty
inline constexpr std::string_view TrustedCAFile = "TrustedCAFile"; // empty
inline constexpr std::string_view DeviceModel = "DeviceModel"; // iPhone 14
inline constexpr std::string_view SystemVersion = "SystemVersion"; // 17.0
inline constexpr std::string_view MaxAPIReplyBytes = "MaxAPIReplyBytes"; // 4194304 (4 MiB)
inline constexpr std::string_view MaxImageReplyBytes = "MaxImageReplyBytes"; // 33554432 (32 MiB)
// What the player plays when an episode's address could not be resolved: an address where nothing
// answers, so that the player shows its load-failed layer.
inline constexpr std::string_view UnresolvedPlayURL = "UnresolvedPlayURL"; // https://127.0.0.1:9/index.m3u8

// Every key above, in this order.
inline constexpr std::string_view all[] = { DisplayName, MainURL, ShortURL, CaptchaURL, HelpURL, WebSocketURL,
    DomainFileURL, DoHResolverURL, ProbeHost, APIPublicKey, TrustedCAFile, DeviceModel, SystemVersion,
    MaxAPIReplyBytes, MaxImageReplyBytes, UnresolvedPlayURL };
}

// The application's bundle: its read-only resources and its information dictionary.
//
// Resource root: the environment variable ZV_BUNDLE_DIR; else the first folder "app/Resources"
// found in the executable's folder or one of its parents, then in the current folder or one of
// its parents (so programs built inside the source tree find the tree's resources).
//
// Information dictionary: read once, when the bundle is first used, from the JSON object in
// "Info.json" at the resource root, or from the file named by ZV_INFO_FILE. For each key an
// environment variable "ZV_INFO_<key>" overrides the file (as text); the keys of InfoKey have
// built-in defaults under both. A missing file is fine; a damaged one is reported on the log.
class Bundle {
public:
    static const Bundle& main();
    // Reads the environment and the information file again for the next main().
    // References to the old bundle must not be used.
    static void resetForTesting();

    const std::filesystem::path& resourcePath() const { return m_root; }

    // "<name>.<type>" (just "<name>" for an empty type) at the resource root, else the first one
    // found in its sub-folders (resources are flat in a built bundle); none when there is none.
    std::optional<std::filesystem::path> path(std::string_view resource, std::string_view type) const;
    // "Images/<name>.png", else "Images/<name>.jpg", else a file of that exact name in "Images".
    std::optional<std::filesystem::path> imagePath(std::string_view name) const;

    std::optional<PropertyList> infoObject(std::string_view key) const;
    // The value as text (numbers and Booleans as their text); none for a missing key.
    std::optional<std::string> infoString(std::string_view key) const;
    // A size in bytes: a whole number above zero, as a JSON number or decimal text; none for a
    // missing key or any other value (which is logged once, when the bundle is read).
    std::optional<std::size_t> infoByteCount(std::string_view key) const;

private:
    struct Passkey { };

public:
    explicit Bundle(Passkey);

private:
    std::filesystem::path m_root;
    PropertyList::Dictionary m_info;
};
