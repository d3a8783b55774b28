#include "platform/ui/web/DWKWebView.h"

#include "platform/foundation/Log.h"

void JavascriptObject::exportMethod(std::string name, SyncMethod method)
{
    m_methods[std::move(name)] = std::move(method);
}

std::optional<std::string> JavascriptObject::call(const std::string& name, const std::string& argument) const
{
    auto it = m_methods.find(name);
    if (it == m_methods.end() || !it->second)
        return std::nullopt;
    return it->second(argument);
}

DWKWebView::DWKWebView(const CGRect& frame)
    : WKWebView(frame)
{ }

void DWKWebView::addJavascriptObject(
    std::shared_ptr<JavascriptObject> object, const std::optional<std::string>& nameSpace)
{
    if (!object)
        return;
    m_objects[nameSpace.value_or("")] = object;
}

void DWKWebView::setJavascriptCloseWindowListener(std::function<void()> listener)
{
    m_closeListener = std::move(listener);
}

std::optional<std::string> DWKWebView::callFromPage(
    const std::string& method, const std::string& argument, std::string* why)
{
    if (!hasPage()) {
        if (why)
            *why = "no page is shown";
        return std::nullopt;
    }
    return call(method, argument, why);
}

std::optional<std::string> DWKWebView::pageCalledBridge(
    const std::string& method, const std::string& argument)
{
    std::string why;
    auto answer = call(method, argument, &why);
    if (!answer)
        Log::write("DWKWebView: " + url() + ": " + why);
    return answer;
}

void DWKWebView::pageAskedToClose()
{
    if (!m_closeListener)
        return;
    auto keep = sharedFromThis();
    auto listener = m_closeListener;
    listener();
}

std::optional<std::string> DWKWebView::call(
    const std::string& method, const std::string& argument, std::string* why)
{
    auto refuse = [why](std::string reason) -> std::optional<std::string> {
        if (why)
            *why = std::move(reason);
        return std::nullopt;
    };
    // "a.b.c" is the method "c" of the namespace "a.b".
    auto dot = method.rfind('.');
    std::string nameSpace = dot == std::string::npos ? std::string() : method.substr(0, dot);
    std::string name = dot == std::string::npos ? method : method.substr(dot + 1);
    auto it = m_objects.find(nameSpace);
    auto object = it == m_objects.end() ? nullptr : it->second.lock();
    if (!object)
        return refuse("no bridge object for \"" + method + "\"");
    // The method may replace the page or drop this view: keep it alive through the call.
    auto keep = sharedFromThis();
    auto answer = object->call(name, argument);
    if (!answer)
        return refuse("the bridge has no method \"" + method + "\"");
    return answer;
}

bool DWKWebView::closeWindowFromPage(std::string* why)
{
    if (!hasPage() || !m_closeListener) {
        if (why)
            *why = !hasPage() ? "no page is shown" : "no close-window listener is set";
        return false;
    }
    auto keep = sharedFromThis();
    auto listener = m_closeListener;
    listener();
    return true;
}
