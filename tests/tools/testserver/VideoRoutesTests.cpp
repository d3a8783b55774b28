#include "tests/tools/testserver/TestKeys.h"
#include "tests/tools/testserver/TestMedia.h"
#include "tools/testserver/TestServer.h"
#include "tools/testserver/VideoRoutes.h"

#include <boost/asio.hpp>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace testserver;
namespace asio = boost::asio;
using tcp = asio::ip::tcp;

namespace {

struct Answer {
    int status = 0;
    std::string head;
    std::string body;
};

Answer get(std::uint16_t port, const std::string& target, const std::string& extraHeaders = {})
{
    asio::io_context io;
    tcp::socket socket(io);
    socket.connect(tcp::endpoint(asio::ip::address_v4::loopback(), port));
    std::string request = "GET " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + extraHeaders + "\r\n";
    asio::write(socket, asio::buffer(request));
    std::string reply;
    boost::system::error_code ec;
    asio::read(socket, asio::dynamic_buffer(reply), ec);
    Answer answer;
    size_t end = reply.find("\r\n\r\n");
    if (end == std::string::npos || reply.size() < 12)
        return answer;
    answer.status = std::stoi(reply.substr(9, 3));
    answer.head = reply.substr(0, end);
    answer.body = reply.substr(end + 4);
    return answer;
}

std::string file(const std::string& name)
{
    std::ifstream in(zvtest::testMediaDir() / name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class VideoRoutesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        server = TestServer::start({ zvtest::testKeysDir(), {} }, &error);
        ASSERT_TRUE(server) << error;
        ASSERT_TRUE(VideoRoutes::install(*server, zvtest::testMediaDir(), &error)) << error;
    }

    std::unique_ptr<TestServer> server;
};

}

TEST(VideoRanges, RangeFieldsGiveTheBytesOrNoneOrTheWhole)
{
    struct Case {
        const char* field;
        RangeAnswer answer;
        ByteRange range;
    };
    for (const Case& c : std::vector<Case> {
             { "bytes=0-99", RangeAnswer::partial, { 0, 99 } },
             { "bytes=900-", RangeAnswer::partial, { 900, 999 } },
             { "bytes=990-5000", RangeAnswer::partial, { 990, 999 } },
             { "bytes=-10", RangeAnswer::partial, { 990, 999 } },
             { "bytes=-5000", RangeAnswer::partial, { 0, 999 } },
             { "bytes=1000-", RangeAnswer::unsatisfiable, {} },
             { "bytes=-0", RangeAnswer::unsatisfiable, {} },
             { "bytes=5-1", RangeAnswer::whole, {} },
             { "bytes=0-1,5-9", RangeAnswer::whole, {} },
             { "items=0-1", RangeAnswer::whole, {} },
             { "bytes=a-b", RangeAnswer::whole, {} },
             { "bytes=99999999999999999999-", RangeAnswer::whole, {} },
         }) {
        SCOPED_TRACE(c.field);
        ByteRange range;
        EXPECT_EQ(parseRange(c.field, 1000, range), c.answer);
        if (c.answer == RangeAnswer::partial) {
            EXPECT_EQ(range, c.range);
        }
    }
}

TEST_F(VideoRoutesTest, PlaylistsNameTheirVariantsSegmentsKeyAndTheFaultsAskedFor)
{
    Answer master = get(server->httpPort(), "/video/master.m3u8?slow=1");
    EXPECT_EQ(master.status, 200);
    EXPECT_NE(master.body.find("BANDWIDTH=300000,RESOLUTION=320x180\nlow/index.m3u8?slow=1\n"), std::string::npos);
    EXPECT_NE(master.body.find("BANDWIDTH=600000,RESOLUTION=480x270\nhigh/index.m3u8?slow=1\n"), std::string::npos);

    Answer high = get(server->httpPort(), "/video/high/index.m3u8");
    EXPECT_NE(high.body.find("#EXT-X-KEY:METHOD=AES-128,URI=\"key.bin\""), std::string::npos);
    EXPECT_EQ(get(server->httpPort(), "/video/high/key.bin").body.size(), 16u);

    Answer faulty = get(server->httpPort(), "/video/low/index.m3u8?slow=1&fail=3&truncate=4&delay=250");
    EXPECT_NE(faulty.body.find("\nseg0.ts\n"), std::string::npos);
    EXPECT_NE(faulty.body.find("\nseg1.ts?fault=slow&delay=250\n"), std::string::npos);
    EXPECT_NE(faulty.body.find("\nseg3.ts?fault=404\n"), std::string::npos);
    EXPECT_NE(faulty.body.find("\nseg4.ts?fault=truncate\n"), std::string::npos);
    EXPECT_EQ(get(server->httpPort(), "/video/nothing.ts").status, 404);
}

TEST_F(VideoRoutesTest, FilesComeWholeInRangesOrWithTheirFault)
{
    std::string clip = file("clip.mp4");
    ASSERT_GT(clip.size(), 1000u);
    Answer whole = get(server->httpPort(), "/video/clip.mp4");
    EXPECT_EQ(whole.status, 200);
    EXPECT_EQ(whole.body, clip);
    EXPECT_NE(whole.head.find("Accept-Ranges: bytes"), std::string::npos);

    Answer part = get(server->httpPort(), "/video/clip.mp4", "Range: bytes=100-199\r\n");
    EXPECT_EQ(part.status, 206);
    EXPECT_EQ(part.body, clip.substr(100, 100));
    EXPECT_NE(part.head.find("Content-Range: bytes 100-199/" + std::to_string(clip.size())), std::string::npos);
    Answer past = get(server->httpPort(), "/video/clip.mp4", "Range: bytes=" + std::to_string(clip.size()) + "-\r\n");
    EXPECT_EQ(past.status, 416);

    std::string segment = file("low/seg1.ts");
    EXPECT_EQ(get(server->httpPort(), "/video/low/seg1.ts?fault=404").status, 404);
    Answer cut = get(server->httpPort(), "/video/low/seg1.ts?fault=truncate");
    EXPECT_EQ(cut.body, segment.substr(0, segment.size() / 2));
    auto start = std::chrono::steady_clock::now();
    Answer slow = get(server->httpPort(), "/video/low/seg1.ts?fault=slow&delay=300");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_EQ(slow.body, segment);
    Answer moved = get(server->httpPort(), "/video/clip.mp4?fault=redirect&to=http%3A%2F%2Fcdn.test%2Fa.m3u8");
    EXPECT_EQ(moved.status, 302);
    EXPECT_NE(moved.head.find("Location: http://cdn.test/a.m3u8"), std::string::npos) << moved.head;

    // What the client sent is in the record.
    get(server->httpPort(), "/video/low/seg0.ts", "X-Token: abc\r\n");
    auto requests = server->requestsTo("/video/low/seg0.ts");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].header("X-Token"), "abc");
}
