#pragma once

#include <optional>
#include <string>

// The device identifier that the API and the chat send: kept in the keychain (service
// "keychainGroup", key "uuid") so that it outlives a reinstall. Main thread.
//
// A stored non-empty text is returned as it is. Otherwise the vendor identifier becomes the
// stored value; when the platform has none, the item is removed and none is returned.
// Keychain errors count as a missing item. The value found is kept for the run (per keychain
// store file).
std::optional<std::string> deviceUUID();
