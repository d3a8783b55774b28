#include "app/MainController/Home/Model/ZV_HomeStripPlaces.h"

ZV_HomeStripPlaces::Strip ZV_HomeStripPlaces::strip(int section, const ZV_HomeRecommendModelData& data)
{
    Strip strip { section, data.title, {} };
    strip.movieIDs.reserve(data.list.size());
    for (const auto& item : data.list)
        strip.movieIDs.push_back(item ? item->movie_id : std::string());
    return strip;
}

void ZV_HomeStripPlaces::remember(const Strip& strip, CGFloat offset)
{
    m_places[strip.section] = { strip, offset };
}

CGFloat ZV_HomeStripPlaces::offset(const Strip& strip) const
{
    auto it = m_places.find(strip.section);
    if (it == m_places.end() || it->second.first != strip)
        return 0;
    return it->second.second;
}
