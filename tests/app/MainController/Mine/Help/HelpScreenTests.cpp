// The help page: the help address as it is when the page loads, and nothing for one that is no
// absolute web address.

#include "app/Core/Network/BaseURLs.h"
#include "app/MainController/Mine/Help/ZV_HelpVC.h"
#include "platform/ui/web/WKWebView.h"
#include "tests/app/MainController/Mine/MineTestSupport.h"

#include <gtest/gtest.h>

using namespace zvtest;

TEST_F(MineScreenTest, HelpLoadsTheCurrentHelpAddressOnly)
{
    struct Case {
        std::string address;
        bool loads;
    };
    for (const Case& c : { Case { serverURL() + "/help.html", true }, Case { "", false },
             Case { "help.html", false }, Case { "file:///etc/passwd", false } }) {
        BaseURLs::help_url() = c.address;
        auto page = std::make_shared<ZV_HelpVC>();
        push(page);
        EXPECT_EQ(page->title(), "帮助中心");
        EXPECT_EQ(page->webView()->url(), c.loads ? c.address : "") << c.address;
        if (c.loads) {
            ASSERT_TRUE(waitFor([&] { return !page->webView()->isLoading(); }));
            EXPECT_NE(page->webView()->pageText().find("视频无法播放怎么办"), std::string::npos);
        }
        navigation->popToViewController(root, false);
    }
}
