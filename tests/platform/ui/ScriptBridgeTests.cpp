// The names a page calls the script bridge by: "name" is a method of the object registered
// without a namespace, and everything before the last dot is the namespace ("a.b.c" is the
// method "c" of the namespace "a.b"). Called as the engine calls the view, without a page.

#include "platform/ui/web/DWKWebView.h"
#include "tests/support/MainLoopTest.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// The view as the engine sees it: a page's call goes straight to it.
class CalledView : public DWKWebView {
public:
    using DWKWebView::pageCalledBridge;
};

// Answers its one method with its own name and the argument.
std::shared_ptr<JavascriptObject> objectNamed(const std::string& name)
{
    auto object = std::make_shared<JavascriptObject>();
    object->exportMethod("jsIOS", [name](const std::string& argument) { return name + ":" + argument; });
    return object;
}

class ScriptBridge : public zvtest::MainLoopTest { };

}

TEST_F(ScriptBridge, ANameIsSplitAtItsLastDot)
{
    auto view = std::make_shared<CalledView>();
    std::vector<std::shared_ptr<JavascriptObject>> objects;
    for (const std::optional<std::string>& nameSpace : { std::optional<std::string>(),
             std::optional<std::string>("a"), std::optional<std::string>("a.b") }) {
        objects.push_back(objectNamed(nameSpace.value_or("none")));
        view->addJavascriptObject(objects.back(), nameSpace);
    }

    struct Case {
        const char* method;
        std::optional<std::string> answer;
    };
    const Case cases[] = {
        { "jsIOS", "none:x" },
        { "a.jsIOS", "a:x" },
        { "a.b.jsIOS", "a.b:x" },
        // No object under "b", "a.b.c" or "jsIOS"; no method "b" of "a".
        { "b.jsIOS", std::nullopt },
        { "a.b.c.jsIOS", std::nullopt },
        { "jsIOS.a", std::nullopt },
        { "a.b", std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(view->pageCalledBridge(c.method, "x"), c.answer) << c.method;
}
