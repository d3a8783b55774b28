#include "tools/testserver/Request.h"
#include "tools/testserver/StaticFiles.h"

#include <gtest/gtest.h>

using namespace testserver;

TEST(RequestParsing, URLEncodedPairsAreDecoded)
{
    Items items = parseURLEncoded("pack=a%2Bb%3D%3D&signature=ff&empty=&flag&sp=a+b%20c&&bad=%zz%4");
    Items expected = { { "pack", "a+b==" }, { "signature", "ff" }, { "empty", "" }, { "flag", "" },
        { "sp", "a b c" }, { "bad", "%zz%4" } };
    EXPECT_EQ(items, expected);
    EXPECT_EQ(percentDecode("a+b%2f", false), "a+b/");
}

TEST(RequestParsing, FormItemsOnlyForURLEncodedBodies)
{
    Request request;
    request.body = "a=1&b=2";
    EXPECT_TRUE(request.formItems().empty());
    request.headers = { { "content-type", "application/x-www-form-urlencoded; charset=utf-8" } };
    EXPECT_EQ(request.formItems(), (Items { { "a", "1" }, { "b", "2" } }));
    request.headers = { { "Content-Type", "application/json" } };
    EXPECT_TRUE(request.formItems().empty());
}

TEST(RequestParsing, MultipartFieldsAndFiles)
{
    // File data that holds a NUL, CR LF and something close to the delimiter.
    const std::string fileData("\x89PNG\r\n--xy\0z", 12);
    std::string body = "preamble\r\n"
                       "--xyz\r\n"
                       "Content-Disposition: form-data; name=\"title\"\r\n"
                       "\r\n"
                       "hello; \"world\"\r\n"
                       "--xyz\r\n"
                       "Content-Disposition: form-data; name=\"avatar_file\"; filename=\"image.png\"\r\n"
                       "Content-Type: image/png\r\n"
                       "\r\n"
        + fileData + "\r\n--xyz--\r\n";

    std::optional<MultipartForm> form = parseMultipart("multipart/form-data; boundary=\"xyz\"", body);
    ASSERT_TRUE(form);
    ASSERT_EQ(form->fields.size(), 1u);
    EXPECT_EQ(form->fields[0], (std::pair<std::string, std::string>("title", "hello; \"world\"")));
    ASSERT_EQ(form->files.size(), 1u);
    EXPECT_EQ(form->files[0].name, "avatar_file");
    EXPECT_EQ(form->files[0].filename, "image.png");
    EXPECT_EQ(form->files[0].contentType, "image/png");
    EXPECT_EQ(form->files[0].data, fileData);
}

TEST(RequestParsing, MalformedMultipartGivesNothing)
{
    const std::string type = "multipart/form-data; boundary=b";
    EXPECT_FALSE(parseMultipart("multipart/form-data", "--b--\r\n"));
    EXPECT_FALSE(parseMultipart("text/plain; boundary=b", "--b--\r\n"));
    // No closing delimiter.
    EXPECT_FALSE(parseMultipart(type, "--b\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\nvalue"));
    // A part without a name.
    EXPECT_FALSE(parseMultipart(type, "--b\r\nContent-Disposition: form-data\r\n\r\nv\r\n--b--\r\n"));
    // Delimiter not at a line start.
    EXPECT_FALSE(parseMultipart(type, "x--b\r\n\r\n--b--"));
    EXPECT_FALSE(parseMultipart(type, ""));
    std::optional<MultipartForm> empty = parseMultipart(type, "--b--\r\n");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->fields.empty() && empty->files.empty());
}
