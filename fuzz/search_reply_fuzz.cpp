// Feeds untrusted input to the search and ranking side: the replies of the search, suggestion,
// hot-word and ranking endpoints built into their models, and a typed or pasted keyword
// highlighted in a title from the server. The first byte chooses:
//   even: the rest is a reply's delivered value (JSON);
//   odd: the rest is a title, a zero byte, then the keyword.

#include "app/MainController/Ranking/Model/ZV_RankingModel.h"
#include "app/MainController/Search/Model/ZV_SearchCompleteModel.h"
#include "app/MainController/Search/Model/ZV_SearchMovieModel.h"
#include "app/MainController/Search/Model/ZV_WordsModel.h"
#include "app/MainController/Search/View/HighlightKeyword.h"
#include "platform/json/JSON.h"
#include "platform/text/UTF16.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void buildModels(const JSON& value)
{
    auto rankings = ZV_RankingModel::rankingsFrom(value);
    check(value.array() || rankings.empty());
    for (const auto& ranking : rankings)
        check(ranking != nullptr);
    auto titles = ZV_RankingModel::titlesFrom(value);
    check(titles.size() == (value.array() ? value.count() : 0));
    for (const JSON& element : value["list"].arrayValue()) {
        ZV_SearchMovieModel movie(element);
        (void)movie;
    }
    for (const JSON& element : value.arrayValue()) {
        ZV_SearchCompleteModel suggestion(element);
        ZV_WordsModel word(element);
        ZV_SearchMovieModel movie(element);
        (void)suggestion;
        (void)word;
        (void)movie;
    }
}

void highlight(std::string_view input)
{
    std::size_t split = input.find('\0');
    std::string text(input.substr(0, split));
    std::optional<std::string> keyword;
    if (split != std::string_view::npos)
        keyword = std::string(input.substr(split + 1));
    NSAttributes blue;
    blue.foregroundColor = UIColor::black();
    NSMutableAttributedString result = highlightKeyword(NSAttributedString(text), blue, keyword);
    // Invalid bytes read as U+FFFD the way the text of any label reads them.
    std::string clean = NSAttributedString(text).string();
    check(result.string() == clean);
    // The whole keyword, where it occurs, is coloured from its first character.
    if (keyword) {
        std::string phrase = NSAttributedString(*keyword).string();
        std::size_t at = phrase.empty() ? std::string::npos : clean.find(phrase);
        if (at != std::string::npos)
            check(result.attributes(utf16OffsetFromUtf8(clean, at)).foregroundColor.has_value());
    } else {
        check(result.attributes(0).foregroundColor == std::nullopt);
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0)
        buildModels(JSON::parse(rest));
    else
        highlight(rest);
    return 0;
}
