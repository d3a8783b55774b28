#pragma once

#include "platform/foundation/Date.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class UIScrollView;
class UIViewController;

// The screens' shared toolbox: where to push and present, input checks, time and size texts and
// the size of a folder. No state; main thread only.
class ZV_Tools {
public:
    ZV_Tools() = delete;

    // The controller on top of the application's window, where screens push and present. Never
    // null: without a window or a root controller it is a fresh controller attached to nothing.
    static std::shared_ptr<UIViewController> getCurrentVC();
    // The root content controller of the selected tab (the first of its navigation stack), after
    // following what is presented. Never null, as above.
    static std::shared_ptr<UIViewController> getMainCurrentVC();

    // Eleven digits: 1, then one of 3, 4, 5, 7, 8, then nine more.
    static bool isPhoneNumber(std::string_view text);
    // Letters, digits, '_' and '-' around the '@' and at least one dotted part after it.
    static bool isEmail(std::string_view text);
    // Whether the case-insensitive pattern finds a match anywhere in the text. A pattern that
    // does not compile is a programming error and stops the program.
    static bool matches(std::string_view text, std::string_view pattern);

    // "mm:ss" under an hour, else "hh:mm:ss" (more hour digits from 100 hours). Negative
    // seconds count as 0.
    static std::string timeString(std::int64_t seconds);
    // Hours × 60 + minutes of the date in the device's time zone (01:30 gives 90).
    static int minutesOfDay(Date date);
    // "%.2fkb" up to 1000 kB, then "MB" and "GB" in steps of 1000.
    static std::string sizeString(double kilobytes);
    // Bytes of the files below the folder / 1000 (decimal kilobytes); 0 when the folder is
    // missing, is not a folder or is empty. Unreadable entries add nothing.
    static double folderSize(const std::filesystem::path& folder);
};

// Pull-to-refresh on lists (tables and collection views alike); they touch only the list's
// mj_header and mj_footer.

// Ends the refreshing of the header and of the footer, each when the list has one.
void endRefreshing(UIScrollView& list);
// With a footer: ends its refreshing when more pages exist, else shows it has no more data.
void endFooterRefreshing(UIScrollView& list, bool hasMore);
// Installs an animated-image header with the framework's default look that runs `action` when
// pulled; its last-updated-time label is hidden.
void addRefreshHeader(UIScrollView& list, std::function<void()> action);
