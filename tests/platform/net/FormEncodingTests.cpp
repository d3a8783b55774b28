#include "platform/net/MultipartFormData.h"
#include "platform/net/URLEncodedFormEncoder.h"

#include <gtest/gtest.h>

TEST(URLEncodedFormEncoder, EscapesEveryByteOutsideTheUnreservedSet)
{
    const std::string kept = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~/?";
    for (int byte = 0; byte < 256; ++byte) {
        std::string text(1, static_cast<char>(byte));
        char expected[4];
        std::snprintf(expected, sizeof expected, "%%%02X", byte);
        if (kept.find(static_cast<char>(byte)) != std::string::npos)
            EXPECT_EQ(URLEncodedFormEncoder::escape(text), text) << byte;
        else
            EXPECT_EQ(URLEncodedFormEncoder::escape(text), expected) << byte;
    }
    EXPECT_EQ(URLEncodedFormEncoder::escape("a+b/c=d?e&f g~\xC3\xA9"), "a%2Bb/c%3Dd?e%26f%20g~%C3%A9");
}

TEST(URLEncodedFormEncoder, PairsStandInKeyOrder)
{
    URLEncodedForm form { { "signature", "0f" }, { "pack", "QUJD+/==" }, { "a b", "" } };
    EXPECT_EQ(URLEncodedFormEncoder::encode(form), "a%20b=&pack=QUJD%2B/%3D%3D&signature=0f");
    EXPECT_EQ(URLEncodedFormEncoder::encode({}), "");
}

TEST(URLEncodedFormEncoder, QueryForGETHeadAndDeleteBodyForPOST)
{
    URLEncodedForm form { { "pack", "p=" }, { "signature", "s" } };
    for (HTTPMethod method : { HTTPMethod::GET, HTTPMethod::HEAD, HTTPMethod::DELETE }) {
        HTTPRequest request = URLEncodedFormEncoder::makeRequest(method, "https://h/api/v1/x", form);
        EXPECT_EQ(request.url, "https://h/api/v1/x?pack=p%3D&signature=s");
        EXPECT_TRUE(request.body.empty());
        EXPECT_TRUE(request.headers.empty());
    }
    EXPECT_EQ(URLEncodedFormEncoder::makeRequest(HTTPMethod::GET, "https://h/x?a=1#top", form).url,
        "https://h/x?a=1&pack=p%3D&signature=s#top");
    EXPECT_EQ(URLEncodedFormEncoder::makeRequest(HTTPMethod::GET, "https://h/x?", form).url,
        "https://h/x?pack=p%3D&signature=s");
    EXPECT_EQ(URLEncodedFormEncoder::makeRequest(HTTPMethod::GET, "https://h/x", {}).url, "https://h/x");

    HTTPRequest post
        = URLEncodedFormEncoder::makeRequest(HTTPMethod::POST, "https://h/x", form, { { "Accept", "a" } });
    EXPECT_EQ(post.url, "https://h/x");
    EXPECT_EQ(stringFromData(post.body), "pack=p%3D&signature=s");
    EXPECT_EQ(post.headers,
        (HTTPHeaders {
            { "Accept", "a" }, { "Content-Type", "application/x-www-form-urlencoded; charset=utf-8" } }));

    // A content type named by the caller, in any spelling, is kept.
    HTTPRequest own = URLEncodedFormEncoder::makeRequest(
        HTTPMethod::POST, "https://h/x", form, { { "content-type", "text/plain" } });
    EXPECT_EQ(own.headers, (HTTPHeaders { { "content-type", "text/plain" } }));
}

TEST(MultipartFormData, EncodesFieldsAndFilesInOrder)
{
    MultipartFormData form("BOUNDARY");
    form.append("note", "hi");
    form.append(Data { 0x89, 'P', '\r', '\n', 0x00 }, "image", "image.png", "image/png");
    EXPECT_EQ(form.contentType(), "multipart/form-data; boundary=BOUNDARY");
    std::string expected = "--BOUNDARY\r\n"
                           "Content-Disposition: form-data; name=\"note\"\r\n"
                           "\r\n"
                           "hi\r\n"
                           "--BOUNDARY\r\n"
                           "Content-Disposition: form-data; name=\"image\"; filename=\"image.png\"\r\n"
                           "Content-Type: image/png\r\n"
                           "\r\n"
        + std::string("\x89P\r\n\0", 5) + "\r\n--BOUNDARY--\r\n";
    EXPECT_EQ(stringFromData(form.encode()), expected);
}

TEST(MultipartFormData, NamesCannotBreakOutOfTheirHeader)
{
    MultipartFormData form("B");
    form.append(Data { 'x' }, "a\"b", "evil\r\nX-Injected: 1\".png", "image/png\r\nX-Other: 2");
    std::string encoded = stringFromData(form.encode());
    EXPECT_NE(
        encoded.find("name=\"a%22b\"; filename=\"evil%0D%0AX-Injected: 1%22.png\"\r\n"), std::string::npos);
    EXPECT_NE(encoded.find("Content-Type: image/pngX-Other: 2\r\n"), std::string::npos);

    MultipartFormData first;
    MultipartFormData second;
    EXPECT_TRUE(first.boundary().starts_with("zentavo.boundary."));
    EXPECT_NE(first.boundary(), second.boundary());
}
