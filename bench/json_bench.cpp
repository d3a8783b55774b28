// Parsing and model-style reading of a home feed reply of about 50 KB, the
// shape that every list screen goes through.

#include "platform/json/JSON.h"
#include "platform/json/JSONSerialization.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

std::string feedItem(int section, int item)
{
    std::string id = std::to_string(section * 100 + item);
    return R"({"id":)" + id + R"(,"click":")" + id + R"(","image":"https://img.example.test/cover/)" + id
        + R"(.jpg","label":"更新至第)" + std::to_string(item) + R"(集","sub_title":"","title":"标题 )" + id
        + R"(","type":1,"dynamic":"HD","name":"影片名称 )" + id
        + R"(","movie_name":"","cover":"https://img.example.test/c/)" + id
        + R"(.webp","movie_dynamic":"","type_name":"剧情","current_time":0,"duration":2700,"episode_id":")"
        + id + R"(","episode_name":"第1集","from_name":"","movie_from":"","movie_id":")" + id + R"("})";
}

std::string feedReply()
{
    std::string sections;
    for (int s = 0; sections.size() < 50000; ++s) {
        if (s > 0)
            sections += ',';
        std::string items;
        for (int i = 0; i < 12; ++i) {
            if (i)
                items += ',';
            items += feedItem(s, i);
        }
        sections += R"({"layout":"index_recommend_grid","title":"热门推荐","list":[)" + items
            + R"(],"right":{"text":"更多","type":"tabs","data":{"page":"","index":2,"param":{"class":"movie"}}},)"
            + R"("data":{"channel":"","data":{"image":"","url":""},"location_id":0,"remarks":"","type":0}})";
    }
    return R"({"errorCode":0,"msg":"ok","data":[)" + sections + "]}";
}

const std::string& reply()
{
    static const std::string text = feedReply();
    return text;
}

// The reads that the feed's models make, with their defaults.
std::size_t readFeed(const JSON& reply)
{
    std::size_t checksum = 0;
    for (const JSON& section : reply["data"].arrayValue()) {
        checksum += section["layout"].stringValue().size() + section["title"].stringValue().size();
        const JSON right = section["right"];
        checksum += right["text"].stringValue().size() + right["type"].stringValue().size();
        checksum += right["data"]["page"].stringValue().size() + right["data"]["index"].intValue();
        checksum += right["data"]["param"]["class"].stringValue().size();
        checksum
            += section["data"]["data"]["image"].stringValue().size() + section["data"]["type"].intValue();
        for (const JSON& item : section["list"].arrayValue()) {
            for (const char* key : { "id", "click", "image", "label", "sub_title", "title", "dynamic", "name",
                     "movie_name", "cover", "movie_dynamic", "type_name", "episode_name", "from_name",
                     "movie_from", "movie_id" })
                checksum += item[key].stringValue().size();
            for (const char* key : { "type", "current_time", "duration", "episode_id" })
                checksum += static_cast<std::size_t>(item[key].intValue());
        }
    }
    return checksum;
}

void BM_ParseFeed(benchmark::State& state)
{
    Data body = dataFromString(reply());
    for (auto _ : state) {
        auto value = JSONSerialization::jsonObject(body);
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}
BENCHMARK(BM_ParseFeed);

void BM_ReadFeedModels(benchmark::State& state)
{
    JSON value = JSON::parse(reply());
    for (auto _ : state)
        benchmark::DoNotOptimize(readFeed(value));
}
BENCHMARK(BM_ReadFeedModels);

void BM_ParseAndReadFeed(benchmark::State& state)
{
    Data body = dataFromString(reply());
    for (auto _ : state) {
        auto value = JSONSerialization::jsonObject(body);
        benchmark::DoNotOptimize(readFeed(*value));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}
BENCHMARK(BM_ParseAndReadFeed);

void BM_WriteFeed(benchmark::State& state)
{
    JSON value = JSON::parse(reply());
    for (auto _ : state)
        benchmark::DoNotOptimize(JSONSerialization::string(value));
}
BENCHMARK(BM_WriteFeed);

void BM_WriteRequestParameters(benchmark::State& state)
{
    for (auto _ : state) {
        JSON params = JSON::object({ { "id", "12345" }, { "page", 1 }, { "pageSize", 20 } });
        params["timestamp"] = "1700000000";
        benchmark::DoNotOptimize(JSONSerialization::string(params, true));
    }
}
BENCHMARK(BM_WriteRequestParameters);

}
