#pragma once

#include "platform/ui/web/WKWebView.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

// An object whose methods a page may call through the script bridge. Subclasses export their
// synchronous methods by name, each taking the page's argument as a string and answering a string.
class JavascriptObject {
public:
    using SyncMethod = std::function<std::string(const std::string& argument)>;

    virtual ~JavascriptObject() = default;

    // A later export of the same name replaces the earlier one.
    void exportMethod(std::string name, SyncMethod method);
    // The method's answer; nothing when there is no method of that name.
    std::optional<std::string> call(const std::string& name, const std::string& argument) const;

private:
    std::map<std::string, SyncMethod> m_methods;
};

// The web view with the script bridge: every page it loads finds, from the start of its document,
// window.appBridge.call(method, argument), which calls the registered object's method
// synchronously ("name" without a namespace, "namespace.name" with one) with the argument as text
// and gives the method's answer (null when nothing answers that name), and window.close(), which
// reaches the close-window listener. Both arrive on the main thread, while the page's script
// waits.
class DWKWebView : public WKWebView {
public:
    explicit DWKWebView(const CGRect& frame = {});

    std::string className() const override { return "DWKWebView"; }

    // Publishes the object's methods to the page as "<namespace>.<method>", or as "<method>"
    // without a namespace (none or empty). A later object under the same namespace replaces the
    // earlier one. The object is held weakly: its owner keeps it, so it cannot keep its owner alive
    // through the view.
    void addJavascriptObject(
        std::shared_ptr<JavascriptObject> object, const std::optional<std::string>& nameSpace);
    // Runs when the page asks to close its window.
    void setJavascriptCloseWindowListener(std::function<void()> listener);

    // ---- Driver entries: the page's side, for tests and the device shell's js-call and js-close ----
    // What a call of the shown page does ("jsIOS" or "namespace.method"): the answer. Nothing (and
    // the reason in *why) when no page is shown or nothing answers that name.
    std::optional<std::string> callFromPage(
        const std::string& method, const std::string& argument, std::string* why = nullptr);
    // The page asks to close its window; false (and the reason) when no page is shown or no
    // listener is set.
    bool closeWindowFromPage(std::string* why = nullptr);

protected:
    bool wantsScriptBridge() const override { return true; }
    std::optional<std::string> pageCalledBridge(
        const std::string& method, const std::string& argument) override;
    void pageAskedToClose() override;

private:
    std::optional<std::string> call(const std::string& method, const std::string& argument, std::string* why);

    std::map<std::string, std::weak_ptr<JavascriptObject>> m_objects;
    std::function<void()> m_closeListener;
};
