#include "platform/ui/device/DeviceShellPageCommands.h"

#include "platform/foundation/Log.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/gestures/TouchDriver.h"
#include "platform/ui/photos/UIImagePickerController.h"
#include "platform/ui/web/DWKWebView.h"

#include <memory>

namespace {

std::string trimmedCommandText(const std::string& text)
{
    auto begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return {};
    auto end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

bool isShown(const UIView& view)
{
    for (const UIView* v = &view; v; v = v->superview().get()) {
        if (v->isHidden() || v->alpha() < 0.01)
            return false;
    }
    return true;
}

// The front-most shown web view under the view (later subviews are in front).
std::shared_ptr<WKWebView> frontWebView(const std::shared_ptr<UIView>& view)
{
    const auto& subviews = view->subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        if (auto found = frontWebView(*it))
            return found;
    }
    auto web = std::dynamic_pointer_cast<WKWebView>(view);
    return web && isShown(*web) ? web : nullptr;
}

// The front-most web view when it has the script bridge.
std::shared_ptr<DWKWebView> shownWebView()
{
    return std::dynamic_pointer_cast<DWKWebView>(frontWebPage());
}

// The top-most presented image picker.
std::shared_ptr<UIImagePickerController> shownPicker()
{
    for (const auto& window : TouchDriver::windowsFrontToBack()) {
        std::shared_ptr<UIImagePickerController> found;
        for (auto controller = window->rootViewController(); controller;
             controller = controller->presentedViewController()) {
            if (auto picker = std::dynamic_pointer_cast<UIImagePickerController>(controller))
                found = picker;
        }
        if (found)
            return found;
    }
    return nullptr;
}

std::optional<std::string> jsCall(const std::string& rest)
{
    std::string line = trimmedCommandText(rest);
    auto space = line.find_first_of(" \t");
    std::string method = line.substr(0, space);
    std::string argument
        = space == std::string::npos ? std::string() : trimmedCommandText(line.substr(space + 1));
    if (method.empty())
        return "usage: js-call <method> [argument]";
    auto web = shownWebView();
    if (!web)
        return "no bridge web view on screen";
    std::string why;
    auto answer = web->callFromPage(method, argument, &why);
    if (!answer)
        return "js-call " + method + ": " + why;
    Log::write("js-call " + method + " -> " + *answer);
    return std::nullopt;
}

std::optional<std::string> jsClose(const std::string& rest)
{
    if (!trimmedCommandText(rest).empty())
        return "usage: js-close";
    auto web = shownWebView();
    if (!web)
        return "no bridge web view on screen";
    std::string why;
    if (!web->closeWindowFromPage(&why))
        return "js-close: " + why;
    return std::nullopt;
}

std::optional<std::string> pickPhoto(const std::string& rest)
{
    std::string name = trimmedCommandText(rest);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    if (name.empty())
        return "usage: pick-photo <file name>";
    auto picker = shownPicker();
    if (!picker)
        return "no image picker on screen";
    if (auto error = picker->pick(name))
        return "pick-photo: " + error->localizedDescription();
    return std::nullopt;
}

}

std::shared_ptr<WKWebView> frontWebPage()
{
    for (const auto& window : TouchDriver::windowsFrontToBack()) {
        if (auto web = frontWebView(window))
            return web;
    }
    return nullptr;
}

std::optional<std::optional<std::string>> runPageCommand(const std::string& command, const std::string& rest)
{
    if (command == "js-call")
        return jsCall(rest);
    if (command == "js-close")
        return jsClose(rest);
    if (command == "pick-photo")
        return pickPhoto(rest);
    return std::nullopt;
}
