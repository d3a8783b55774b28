#include "platform/ui/web/HTMLText.h"

#include <gtest/gtest.h>

namespace {

struct PageCase {
    const char* what;
    std::string html;
    std::string title;
    std::string text;
};

}

TEST(HTMLText, TitleAndTextOfPages)
{
    const std::vector<PageCase> cases = {
        { "blocks break lines, blanks collapse",
            "<html><head><title> 帮助\n中心 </title></head><body>"
            "<h1>标题</h1>\n  <p>第一段   文字</p><p>第二段<br>换行</p></body></html>",
            "帮助 中心", "标题\n第一段 文字\n第二段\n换行" },
        { "inline markup joins its text", "<p>a<b>b</b> <i>c</i></p>", "", "ab c" },
        { "scripts, styles and comments are skipped",
            "<style>p{color:red}</style><p>x<!-- <p>hidden</p> -->y</p><script>if (a < b) { t('<p>'); "
            "}</script>"
            "<SCRIPT type=x>shout()</SCRIPT>z",
            "", "xy\nz" },
        { "references decode", "<p>&lt;a&gt; &amp; &quot;q&quot; &#20013;&#x6587; &raquo;&nbsp;end</p>", "",
            "<a> & \"q\" 中文 » end" },
        { "unknown or broken references stay as written", "<p>&unknown; &amp &#xZZ; AT&T</p>", "",
            "&unknown; &amp &#xZZ; AT&T" },
        { "bad code points become the replacement character", "<p>&#0;|&#xD800;|&#1114112;</p>", "",
            "\xEF\xBF\xBD|\xEF\xBF\xBD|\xEF\xBF\xBD" },
        { "a '>' inside a quoted attribute does not end the tag",
            "<div title=\"a>b\" data-x='>'>inside</div>", "", "inside" },
        { "a '<' that starts no tag is text", "<p>1 < 2 and 3 <4</p>", "", "1 < 2 and 3 <4" },
        { "tags in capitals count", "<TITLE>T</TITLE><P>one</P><P>two</P>", "T", "one\ntwo" },
        { "only the first title counts", "<title>first</title><title>second</title>body", "first", "body" },
        { "an unclosed tag swallows the rest", "<p>seen</p><div class=\"never closed", "", "seen" },
        { "an unclosed title ends the page", "<title>Only a title", "Only a title", "" },
        { "bytes that are not UTF-8 are replaced",
            "<p>a\xFF"
            "b\xE4\xB8</p>",
            "",
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD\xEF\xBF\xBD" },
        { "control characters are dropped",
            std::string("<p>a\x01"
                        "b\x00"
                        "c</p>",
                12),
            "", "abc" },
    };
    for (const auto& c : cases) {
        HTMLText page = HTMLTextExtractor::extract(c.html);
        EXPECT_EQ(page.title, c.title) << c.what;
        EXPECT_EQ(page.text, c.text) << c.what;
    }
}

TEST(HTMLText, HugePagesAreCut)
{
    std::string paragraph = "<p>" + std::string(1000, 'x') + "</p>";
    std::string html;
    while (html.size() < 3 * HTMLTextExtractor::maxInputBytes)
        html += paragraph;
    HTMLText page = HTMLTextExtractor::extract(html);
    EXPECT_LE(page.text.size(), HTMLTextExtractor::maxTextBytes);
    EXPECT_GT(page.text.size(), HTMLTextExtractor::maxTextBytes / 2);

    HTMLText title = HTMLTextExtractor::extract("<title>" + std::string(10000, 't') + "</title>after");
    EXPECT_LE(title.title.size(), HTMLTextExtractor::maxTitleBytes);
    EXPECT_EQ(title.text, "after");

    // Each bad byte becomes three: the limits hold after mending.
    HTMLText mended = HTMLTextExtractor::extract(
        "<title>" + std::string(2000, '\xFF') + "</title>" + std::string(70000, '\xFF'));
    EXPECT_LE(mended.title.size(), HTMLTextExtractor::maxTitleBytes);
    EXPECT_LE(mended.text.size(), HTMLTextExtractor::maxTextBytes);
    EXPECT_EQ(mended.text.substr(0, 3), "\xEF\xBF\xBD");
}

TEST(HTMLText, PlainTextKeepsItsLines)
{
    HTMLText page = HTMLTextExtractor::plainText("a <b> & c\r\nline two\rthree\x07\xFF");
    EXPECT_EQ(page.title, "");
    EXPECT_EQ(page.text, "a <b> & c\nline two\nthree\xEF\xBF\xBD");
}
