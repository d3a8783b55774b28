#include "app/MainController/Other/Tool/ZV_Tools.h"

#include "app/Core/Helpers/WindowHelpers.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "platform/text/NSRegularExpression.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/UITabBarController.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/refresh/MJRefreshAttachment.h"
#include "platform/ui/refresh/MJRefreshGifHeader.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace {

std::shared_ptr<UIViewController> detachedController()
{
    return std::make_shared<UIViewController>();
}

std::shared_ptr<UIViewController> rootController()
{
    const auto& delegate = UIApplication::shared().delegate();
    std::shared_ptr<UIWindow> window = delegate ? delegate->window() : nullptr;
    return window ? window->rootViewController() : nullptr;
}

// Follows what is presented, entering a presented tab bar's selection or a presented navigation
// controller's visible screen. Null when a presented tab bar has no selection.
std::shared_ptr<UIViewController> lastPresented(std::shared_ptr<UIViewController> controller)
{
    while (auto presented = controller->presentedViewController()) {
        controller = std::move(presented);
        if (auto tabs = std::dynamic_pointer_cast<UITabBarController>(controller)) {
            controller = tabs->selectedViewController();
            if (!controller)
                return nullptr;
        } else if (auto navigation = std::dynamic_pointer_cast<UINavigationController>(controller)) {
            if (auto visible = navigation->visibleViewController())
                controller = std::move(visible);
        }
    }
    return controller;
}

int leadingInteger(std::string_view text)
{
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return (error == std::errc() && end == text.data() + text.size()) ? value : 0;
}

std::string twoDigits(std::int64_t value, bool pad)
{
    // Appended to the padding: GCC 12 at -O3 takes a literal put before a temporary string for an overlapping copy.
    std::string text = pad ? "0" : "";
    text += std::to_string(value);
    return text;
}

}

std::shared_ptr<UIViewController> ZV_Tools::getCurrentVC()
{
    if (auto top = topViewController())
        return top;
    return detachedController();
}

std::shared_ptr<UIViewController> ZV_Tools::getMainCurrentVC()
{
    std::shared_ptr<UIViewController> root = rootController();
    if (!root)
        return detachedController();
    std::shared_ptr<UIViewController> current = lastPresented(std::move(root));
    if (!current)
        return detachedController();
    auto tabs = std::dynamic_pointer_cast<UITabBarController>(current);
    if (!tabs)
        return current;
    std::shared_ptr<UIViewController> selected = tabs->selectedViewController();
    if (!selected)
        return detachedController();
    if (auto navigation = std::dynamic_pointer_cast<UINavigationController>(selected)) {
        auto stack = navigation->viewControllers();
        return stack.empty() ? selected : stack.front();
    }
    return selected;
}

bool ZV_Tools::isPhoneNumber(std::string_view text)
{
    return matches(text, R"(^1(3|4|5|7|8)[0-9]\d{8}$)");
}

bool ZV_Tools::isEmail(std::string_view text)
{
    return matches(text, R"(^[a-zA-Z0-9_-]+@[a-zA-Z0-9_-]+(\.[a-zA-Z0-9_-]+)+$)");
}

bool ZV_Tools::matches(std::string_view text, std::string_view pattern)
{
    auto regex = NSRegularExpression::make(pattern, { .caseInsensitive = true });
    if (!regex) {
        Log::write("ZV_Tools: bad pattern " + std::string(pattern) + ": " + regex.error());
        std::abort();
    }
    return regex->numberOfMatches(text) > 0;
}

std::string ZV_Tools::timeString(std::int64_t seconds)
{
    std::int64_t s = seconds < 0 ? 0 : seconds;
    std::int64_t hours = s / 3600;
    std::int64_t rest = s - hours * 3600;
    std::int64_t minutes = rest / 60;
    std::int64_t secs = rest - minutes * 60;
    std::string hourField = twoDigits(hours, s < 36000);
    std::string tail = twoDigits(minutes, rest < 600) + ":" + twoDigits(secs, secs < 10);
    return hourField == "00" ? tail : hourField + ":" + tail;
}

int ZV_Tools::minutesOfDay(Date date)
{
    std::string text = DateFormatter("HH:mm").stringFromDate(date);
    std::string_view view(text);
    std::size_t colon = view.find(':');
    std::string_view first = view.substr(0, colon);
    std::string_view last = colon == std::string_view::npos ? view : view.substr(view.rfind(':') + 1);
    return leadingInteger(first) * 60 + leadingInteger(last);
}

std::string ZV_Tools::sizeString(double kilobytes)
{
    char buffer[64];
    if (kilobytes <= 1000)
        std::snprintf(buffer, sizeof buffer, "%.2fkb", kilobytes);
    else if (kilobytes / 1000 <= 1000)
        std::snprintf(buffer, sizeof buffer, "%.2fMB", kilobytes / 1000);
    else
        std::snprintf(buffer, sizeof buffer, "%.2fGB", kilobytes / 1000 / 1000);
    return buffer;
}

double ZV_Tools::folderSize(const std::filesystem::path& folder)
{
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        return 0;
    return static_cast<double>(FileSystem::folderSize(folder)) / 1000.0;
}

void endRefreshing(UIScrollView& list)
{
    if (auto header = mjHeader(list))
        header->endRefreshing();
    if (auto footer = mjFooter(list))
        footer->endRefreshing();
}

void endFooterRefreshing(UIScrollView& list, bool hasMore)
{
    auto footer = mjFooter(list);
    if (!footer)
        return;
    if (hasMore)
        footer->endRefreshing();
    else
        footer->endRefreshingWithNoMoreData();
}

void addRefreshHeader(UIScrollView& list, std::function<void()> action)
{
    auto header = std::make_shared<MJRefreshGifHeader>(std::move(action));
    header->lastUpdatedTimeLabel()->setHidden(true);
    setMjHeader(list, std::move(header));
}
