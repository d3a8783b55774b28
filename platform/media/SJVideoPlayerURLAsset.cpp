#include "platform/media/SJVideoPlayerURLAsset.h"

std::shared_ptr<SJVideoPlayerURLAsset> SJVideoPlayerURLAsset::initWithURL(std::string url)
{
    if (url.empty())
        return nullptr;
    return std::make_shared<SJVideoPlayerURLAsset>(Passkey(), AVURLAsset::URLAssetWithURL(std::move(url)));
}

std::shared_ptr<SJVideoPlayerURLAsset> SJVideoPlayerURLAsset::initWithAVAsset(std::shared_ptr<AVURLAsset> asset)
{
    if (!asset || asset->URL().empty())
        return nullptr;
    return std::make_shared<SJVideoPlayerURLAsset>(Passkey(), std::move(asset));
}

SJVideoPlayerURLAsset::SJVideoPlayerURLAsset(Passkey, std::shared_ptr<AVURLAsset> asset)
    : m_asset(std::move(asset))
{ }

HTTPHeaders SJVideoPlayerURLAsset::httpHeaderFields() const
{
    HTTPHeaders fields;
    for (const auto& [name, value] : m_asset->httpHeaderFields())
        fields.emplace_back(name, value);
    return fields;
}
