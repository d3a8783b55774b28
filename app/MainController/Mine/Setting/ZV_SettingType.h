#pragma once

// The rows of the settings page, in this order when shown.
enum class ZV_SettingType {
    young, // teen mode, with its switch
    clean, // the image cache's size; a tap clears the caches
    exit, // log out; only while signed in
};
