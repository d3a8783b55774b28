#pragma once

#include <map>
#include <memory>
#include <string>

// The option under which an asset's HTTP header fields are given.
inline constexpr const char* AVURLAssetHTTPHeaderFieldsKey = "AVURLAssetHTTPHeaderFieldsKey";

// An asset at an address, with the options it was made with. The only option the player reads is
// AVURLAssetHTTPHeaderFieldsKey: header fields, by name, for every request of the asset.
class AVURLAsset {
public:
    using HeaderFields = std::map<std::string, std::string>;
    using Options = std::map<std::string, HeaderFields>;

    static std::shared_ptr<AVURLAsset> URLAssetWithURL(std::string url, Options options = {})
    {
        return std::make_shared<AVURLAsset>(std::move(url), std::move(options));
    }

    AVURLAsset(std::string url, Options options)
        : m_url(std::move(url))
        , m_options(std::move(options))
    { }

    const std::string& URL() const { return m_url; }
    const Options& options() const { return m_options; }
    // The header fields of the options; none when there are none.
    HeaderFields httpHeaderFields() const
    {
        auto fields = m_options.find(AVURLAssetHTTPHeaderFieldsKey);
        return fields != m_options.end() ? fields->second : HeaderFields();
    }

private:
    std::string m_url;
    Options m_options;
};
