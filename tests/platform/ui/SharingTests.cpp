#include "platform/foundation/FileSystem.h"
#include "platform/ui/sharing/UIActivityViewController.h"
#include "platform/ui/sharing/UIPasteboard.h"
#include "tests/platform/ui/ControllerTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct ShareReport {
    std::optional<std::string> activityType;
    bool completed = false;
    std::optional<NSError> error;
};

class Sharing : public uitest::ControllerTest {
protected:
    void SetUp() override
    {
        ControllerTest::SetUp();
        UIActivityViewController::setShareOutboxDirectory(dir.path() / "outbox");
        root = std::make_shared<UIViewController>();
        window->setRootViewController(root);
        drain();
    }
    void TearDown() override
    {
        UIActivityViewController::setShareOutboxDirectory({});
        ControllerTest::TearDown();
    }

    std::shared_ptr<UIActivityViewController> sheet(std::vector<UIActivityItem> items)
    {
        auto controller = std::make_shared<UIActivityViewController>(std::move(items));
        controller->setCompletionWithItemsHandler(
            [this](std::optional<std::string> type, bool completed, std::optional<NSError> error) {
                reports.push_back({ std::move(type), completed, std::move(error) });
            });
        return controller;
    }

    bool waitForReports(std::size_t count)
    {
        return runUntil([&] {
            advance(1);
            return reports.size() >= count;
        });
    }

    zvtest::TempDir dir;
    std::shared_ptr<UIViewController> root;
    std::vector<ShareReport> reports;
};

}

TEST_F(Sharing, OutboxGetsTheItemsInAFolderOfTheirOwnAndTheCompletionReports)
{
    UIImage poster = UIImage::filled(UIColor::red(), { 10, 15 }, 2);
    auto controller = sheet({ poster, std::string("https://zentavo.example/t/40217") });
    ASSERT_TRUE(root->present(controller, true));
    advance(1);
    controller->chooseShareOutbox();
    controller->chooseShareOutbox(); // only the first choice counts
    ASSERT_TRUE(waitForReports(1));
    EXPECT_FALSE(root->presentedViewController());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].activityType, UIActivityViewController::shareOutboxActivityType);
    EXPECT_TRUE(reports[0].completed);
    EXPECT_FALSE(reports[0].error);

    ASSERT_TRUE(controller->lastShareFolder());
    std::filesystem::path folder = *controller->lastShareFolder();
    EXPECT_EQ(folder.parent_path(), dir.path() / "outbox");
    EXPECT_EQ(FileSystem::list(folder), (std::vector<std::string> { "1.png", "2.txt" }));
    auto image = UIImage::fromFile(folder / "1.png");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 20);
    EXPECT_EQ(image->pixel(4, 4), UIColor::red().rgba());
    auto text = FileSystem::readFile(folder / "2.txt");
    EXPECT_EQ(std::string(text->begin(), text->end()), "https://zentavo.example/t/40217");

    // A second share never writes over the first.
    auto again = sheet({ std::string("again") });
    again->chooseShareOutbox();
    ASSERT_TRUE(waitForReports(2));
    EXPECT_EQ(FileSystem::list(dir.path() / "outbox").size(), 2u);
}

TEST_F(Sharing, CancelNothingToShareAndUnwritableOutboxAreReported)
{
    auto cancelled = sheet({ std::string("x") });
    ASSERT_TRUE(root->present(cancelled, false));
    drain();
    cancelled->cancel();
    cancelled->chooseShareOutbox();
    ASSERT_TRUE(waitForReports(1));
    EXPECT_FALSE(reports[0].activityType);
    EXPECT_FALSE(reports[0].completed);
    EXPECT_FALSE(reports[0].error);

    for (auto items : { std::vector<UIActivityItem> {}, std::vector<UIActivityItem> { UIImage() } }) {
        sheet(std::move(items))->chooseShareOutbox();
        ASSERT_TRUE(waitForReports(reports.size() + 1));
        EXPECT_FALSE(reports.back().completed);
        ASSERT_TRUE(reports.back().error);
        EXPECT_EQ(reports.back().error->code, UIActivityViewController::nothingToShare);
    }

    // The outbox's place is taken by a file.
    ASSERT_TRUE(FileSystem::writeFileAtomically(dir.path() / "outbox", Data { 1 }));
    sheet({ std::string("x") })->chooseShareOutbox();
    ASSERT_TRUE(waitForReports(4));
    EXPECT_EQ(reports.back().activityType, UIActivityViewController::shareOutboxActivityType);
    EXPECT_FALSE(reports.back().completed);
    ASSERT_TRUE(reports.back().error);
    EXPECT_EQ(reports.back().error->code, UIActivityViewController::writeFailed);
}

TEST(Pasteboard, HoldsOneItem)
{
    auto& pasteboard = UIPasteboard::general();
    pasteboard.setString("https://zentavo.example/share");
    EXPECT_EQ(pasteboard.string(), "https://zentavo.example/share");
    pasteboard.setImage(UIImage::filled(UIColor::red(), { 2, 2 }));
    EXPECT_FALSE(pasteboard.string());
    ASSERT_TRUE(pasteboard.image());
    pasteboard.setString("");
    EXPECT_EQ(pasteboard.string(), "");
    EXPECT_FALSE(pasteboard.image());
    pasteboard.setString(std::nullopt);
    EXPECT_FALSE(pasteboard.string());
}
