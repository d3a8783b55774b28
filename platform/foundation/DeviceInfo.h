#pragma once

#include <optional>
#include <string>

// What the app may know of the device it runs on.
class DeviceInfo {
public:
    // From the information keys "SystemVersion" and "DeviceModel".
    static std::string systemVersion();
    static std::string model();

    // The vendor identifier: upper-case UUID text, made once and kept in the app container
    // ("Library/VendorIdentifier", owner-only), so it lasts until the app's data is wiped. A damaged
    // file is set aside and replaced; one that cannot be read is left alone. None when the file
    // cannot be read or the container cannot keep a new one.
    static std::optional<std::string> identifierForVendor();
};
