#include "platform/ui/Renderer.h"
#include "platform/ui/SFSafariViewController.h"
#include "tests/platform/ui/ControllerTestSupport.h"

#include <gtest/gtest.h>

namespace {

class ControllerBrowser : public uitest::ControllerTest { };

std::shared_ptr<UIView> findIdentified(UIView& view, const std::string& id)
{
    for (const auto& sub : view.subviews()) {
        if (sub->accessibilityIdentifier() == id)
            return sub;
        if (auto found = findIdentified(*sub, id))
            return found;
    }
    return nullptr;
}

}

TEST_F(ControllerBrowser, ShowsTheAddressAndDoneDismisses)
{
    auto root = UIViewController::create();
    window->setRootViewController(root);
    // An address where nothing answers: the page fails at once, and only loopback is reached.
    auto browser = SFSafariViewController::make("https://127.0.0.1:9/ad?id=7");
    ASSERT_TRUE(browser);
    root->present(browser, true);
    advance(0.35);
    EXPECT_EQ(root->presentedViewController(), browser);
    std::string tree = Renderer::dumpViewTree(*browser->view());
    EXPECT_NE(tree.find("https://127.0.0.1:9/ad?id=7"), std::string::npos) << tree;
    EXPECT_NE(tree.find("\"127.0.0.1\""), std::string::npos) << tree;

    auto done = std::dynamic_pointer_cast<UINavigationBarButton>(findIdentified(*browser->view(), "done"));
    ASSERT_TRUE(done);
    EXPECT_EQ(done->title(), "完成");
    EXPECT_TRUE(done->performTap());
    advance(0.35);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(browser->view()->superview(), nullptr);
}
