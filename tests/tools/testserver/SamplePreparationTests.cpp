// The title pages and the search sample, built at the server's start or at the first request
// that needs them: the same replies either way, and a damaged file is never served as a success.

#include "tests/support/TempDir.h"
#include "tests/tools/testserver/SampleServer.h"
#include "tools/testserver/ApiEndpoints.h"
#include "tools/testserver/ApiServer.h"
#include "tools/testserver/SampleApi.h"
#include "tools/testserver/TestServer.h"

#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <thread>
#include <vector>

using namespace testserver;

namespace {

using json = nlohmann::json;

// The reply of the sample account to a call of the server's API.
ApiReply callAs(const zvtest::SampleServer& sample, const std::string& path, json parameters)
{
    ApiCall call;
    call.method = std::string(endpointMethod(path).value_or("GET"));
    call.path = path;
    call.parameters = std::move(parameters);
    call.token = "tk-301877-first";
    return sample.api->handler(path)(call);
}

// The sample data with one file of its API (or, by a name that leads out of "api", another) replaced.
std::filesystem::path damagedCopy(
    const zvtest::TempDir& dir, const std::string& file, const std::string& content)
{
    std::filesystem::path data = dir / "data";
    std::filesystem::copy(zvtest::SampleServer::dataDir(), data, std::filesystem::copy_options::recursive);
    std::ofstream(data / "api" / file, std::ios::trunc) << content;
    return data;
}

// Routes of the samples built late, with parameters of a hand-written title, a title that only the
// lists show, a search, and a favourite added by id, which takes its name from the lists.
const std::vector<std::pair<std::string, json>> kRoutes = {
    { "v1/movie/detail", { { "id", "40733" } } },
    { "v1/movie/detail", { { "id", "41001" } } },
    { "v1/movie_addr/list", { { "movie_id", "41001" }, { "from_code", "lzm3u8" } } },
    { "v1/movie/search", { { "keyword", "雨" } } },
    { "v1/movie/ranking/list", json::object() },
    { "v1/movie/collect/action", { { "movie_id", "41001" }, { "state", 1 } } },
    { "v1/user/movie_collect/list", { { "page", 1 }, { "pageSize", 3 } } },
};

}

TEST(SamplePreparationTest, BuiltAtFirstUseTheRoutesAnswerAsWhenBuiltAtTheStart)
{
    auto atStart = zvtest::SampleServer::start(zvtest::SampleServer::dataDir(), SamplePreparation::AtStart);
    auto atFirstUse
        = zvtest::SampleServer::start(zvtest::SampleServer::dataDir(), SamplePreparation::AtFirstUse);
    ASSERT_TRUE(atStart.api) << atStart.error;
    ASSERT_TRUE(atFirstUse.api) << atFirstUse.error;
    for (const auto& [path, parameters] : kRoutes) {
        ApiReply expected = callAs(atStart, path, parameters);
        ASSERT_EQ(expected.errorCode, 0) << path << " " << parameters.dump() << ": " << expected.msg;
        // Each server points the sample's addresses at its own ports.
        std::string wanted = expected.data.value_or(json()).dump();
        for (auto [from, to] : { std::pair(atStart.server->httpPort(), atFirstUse.server->httpPort()),
                 std::pair(atStart.server->httpsPort(), atFirstUse.server->httpsPort()) }) {
            std::string fromText = ":" + std::to_string(from) + "/";
            std::string toText = ":" + std::to_string(to) + "/";
            for (std::size_t at = wanted.find(fromText); at != std::string::npos;
                 at = wanted.find(fromText, at + toText.size()))
                wanted.replace(at, fromText.size(), toText);
        }
        ApiReply reply = callAs(atFirstUse, path, parameters);
        EXPECT_EQ(reply.errorCode, 0) << path << ": " << reply.msg;
        EXPECT_EQ(reply.data.value_or(json()).dump(), wanted) << path << " " << parameters.dump();
    }
}

TEST(SamplePreparationTest, RequestsThatMeetAtTheFirstUseShareOneBuild)
{
    auto server = zvtest::SampleServer::start(zvtest::SampleServer::dataDir(), SamplePreparation::AtFirstUse);
    ASSERT_TRUE(server.api) << server.error;
    std::vector<std::string> pages(8);
    std::vector<std::thread> threads;
    for (std::string& page : pages) {
        threads.emplace_back([&server, &page] {
            ApiReply reply = callAs(server, "v1/movie/detail", { { "id", "41001" } });
            page = reply.errorCode == 0 ? reply.data.value_or(json()).dump() : reply.msg;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    ASSERT_NE(pages[0].find("\"41001\""), std::string::npos) << pages[0];
    for (const std::string& page : pages)
        EXPECT_EQ(page, pages[0]);
}

TEST(SamplePreparationTest, ADamagedFileStopsTheStartOrIsAnErrorReplyAtItsFirstUse)
{
    struct Case {
        const char* file;
        const char* content;
        const char* route;
        json parameters;
        const char* startError; // a part of the message of a start that refuses
    };
    const Case cases[] = {
        { "detail.json", "{\"titles\": 3}", "v1/movie/detail", { { "id", "41001" } }, "detail.json" },
        { "detail.json", "{\"titles\": [{\"name\": \"无编号\"}]}", "v1/movie_addr/list",
            { { "movie_id", "41001" }, { "from_code", "lzm3u8" } }, "a title without an id" },
        { "search.json", "[1, 2", "v1/movie/search", { { "keyword", "雨" } }, "search" },
        // The pictures' table, which gives the titles their covers.
        { "../images/drawn-names.json", "{\"names\": {}, \"covers\": [1]}", "v1/movie/detail",
            { { "id", "41001" } }, "drawn-names.json" },
        { "../images/drawn-names.json", "{\"names\": ", "v1/movie/search", { { "keyword", "雨" } },
            "drawn-names.json" },
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string(test.file) + " " + test.content);
        zvtest::TempDir dir;
        std::filesystem::path data = damagedCopy(dir, test.file, test.content);

        auto atStart = zvtest::SampleServer::start(data, SamplePreparation::AtStart);
        EXPECT_FALSE(atStart.api);
        EXPECT_NE(atStart.error.find(test.startError), std::string::npos) << atStart.error;

        auto atFirstUse = zvtest::SampleServer::start(data, SamplePreparation::AtFirstUse);
        ASSERT_TRUE(atFirstUse.api) << atFirstUse.error;
        // Not once a success, and not tried again as if the next call might do better.
        for (int attempt = 0; attempt < 2; ++attempt) {
            ApiReply reply = callAs(atFirstUse, test.route, test.parameters);
            EXPECT_EQ(reply.errorCode, 1500);
            EXPECT_EQ(reply.msg, "示例数据有误");
            EXPECT_FALSE(reply.data);
        }
    }
}
