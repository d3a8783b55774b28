#include "app/Extensions/UIImageGif.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileSystem.h"
#include "platform/foundation/Log.h"
#include "platform/net/CurlSockets.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <curl/curl.h>
#include <memory>
#include <numeric>
#include <string_view>
#include <vector>

namespace {

// Characters a URL may hold as written (RFC 3986, with '%' for escapes); anything else, or an
// empty text, is no URL at all.
bool isURLText(std::string_view text)
{
    if (text.empty())
        return false;
    constexpr std::string_view allowed = "-._~:/?#[]@!$&'()*+,;=%";
    return std::all_of(text.begin(), text.end(), [&](char c) {
        auto u = static_cast<unsigned char>(c);
        return std::isalnum(u) || allowed.find(c) != std::string_view::npos;
    });
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(),
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

std::string gifPercentDecoded(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1]))
            && std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

struct Download {
    Data body;
    bool tooLarge = false;
};

std::size_t collect(char* bytes, std::size_t size, std::size_t count, void* context)
{
    auto* download = static_cast<Download*>(context);
    std::size_t length = size * count;
    if (download->body.size() + length > UIImageGif::maximumDownloadSize) {
        download->tooLarge = true;
        return 0; // stops the transfer
    }
    download->body.insert(download->body.end(), bytes, bytes + length);
    return length;
}

std::optional<Data> downloadSynchronously(const std::string& url)
{
    struct EasyDeleter {
        void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
    };
    std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    if (!curl)
        return std::nullopt;
    Download download;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    // Once on https, a redirect may not take the download to plain http.
    curl_easy_setopt(
        curl.get(), CURLOPT_REDIR_PROTOCOLS_STR, startsWith(url, "https://") ? "https" : "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 60L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    openSocketsCloseOnExec(curl.get());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &download);
    if (auto ca = Bundle::main().infoString(InfoKey::TrustedCAFile); ca && !ca->empty())
        curl_easy_setopt(curl.get(), CURLOPT_CAINFO, ca->c_str());
    if (curl_easy_perform(curl.get()) != CURLE_OK || download.tooLarge)
        return std::nullopt;
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status >= 300)
        return std::nullopt;
    return std::move(download.body);
}

// The content at the address, as a plain data read would give it: files and web addresses;
// relative or other addresses have no content.
std::optional<Data> readURL(const std::string& url)
{
    if (startsWith(url, "file://")) {
        std::string_view rest = std::string_view(url).substr(7);
        // "file:///path" or "file://localhost/path".
        if (startsWith(rest, "localhost/"))
            rest.remove_prefix(9);
        if (rest.empty() || rest.front() != '/')
            return std::nullopt;
        return FileSystem::readFile(gifPercentDecoded(rest.substr(0, rest.find_first_of("?#"))));
    }
    if (startsWith(url, "http://") || startsWith(url, "https://"))
        return downloadSynchronously(url);
    return std::nullopt;
}

}

std::optional<UIImage> UIImageGif::gifImage(const Data& data)
{
    auto source = GifDecoder::decode(data);
    if (!source) {
        Log::write("image doesn't exist");
        return std::nullopt;
    }
    return gifAnimatedImage(*source);
}

std::optional<UIImage> UIImageGif::gifImageWithURL(const std::string& url)
{
    if (!isURLText(url)) {
        Log::write("image named \"" + url + "\" doesn't exist");
        return std::nullopt;
    }
    auto data = readURL(url);
    if (!data) {
        Log::write("image named \"" + url + "\" into NSData");
        return std::nullopt;
    }
    return gifImage(*data);
}

std::optional<UIImage> UIImageGif::gifImageNamed(const std::string& name)
{
    auto path = Bundle::main().path(name, "gif");
    if (!path) {
        Log::write("SwiftGif: This image named \"" + name + "\" does not exist");
        return std::nullopt;
    }
    auto data = FileSystem::readFile(*path);
    if (!data) {
        Log::write("SwiftGif: Cannot turn image named \"" + name + "\" into NSData");
        return std::nullopt;
    }
    return gifImage(*data);
}

double UIImageGif::gifFrameDelay(std::size_t index, const GifImage& source)
{
    if (index >= source.frames.size())
        return minimumFrameDelay;
    // A frame without a control block has no written delay; it plays at the minimum.
    double delay = source.frames[index].delaySeconds();
    return std::max(delay, minimumFrameDelay);
}

int UIImageGif::delayMilliseconds(double seconds)
{
    return static_cast<int>(std::lround(seconds * 1000));
}

UIImage UIImageGif::gifAnimatedImage(const GifImage& source)
{
    std::vector<int> delays;
    delays.reserve(source.frames.size());
    long long total = 0;
    for (std::size_t i = 0; i < source.frames.size(); ++i) {
        delays.push_back(delayMilliseconds(gifFrameDelay(i, source)));
        total += delays.back();
    }
    if (delays.empty())
        return UIImage::animated({}, 0);

    int step = delays.front();
    for (int delay : delays)
        step = std::gcd(delay, step);
    if (total / step > static_cast<long long>(maximumFrameEntries))
        step = static_cast<int>((total + maximumFrameEntries - 1) / maximumFrameEntries);

    std::vector<UIImage> frames;
    for (std::size_t i = 0; i < source.frames.size(); ++i) {
        const UIImage& image = source.frames[i].image;
        // A frame that could not be made still counts in the timing, but is not shown.
        if (image.isEmpty())
            continue;
        int copies = std::max(1, delays[i] / step);
        frames.insert(frames.end(), static_cast<std::size_t>(copies), image);
    }
    return UIImage::animated(std::move(frames), static_cast<double>(total) / 1000);
}
