#pragma once

#include "app/Core/Models/ZV_HomeRecommendModelData.h"
#include "platform/ui/CGGeometry.h"

#include <map>
#include <string>
#include <vector>

// Where the viewer left each sideways strip of the feed, so that a strip scrolled out of view and
// back (its cell meanwhile showing another strip) is where it was. A strip is its section's place
// in the feed, its title and its titles in order: a reload that changed any of them since the
// viewer last saw it there (a new record at the front after a play report) brings another strip,
// which starts at its start. A reload with the same titles keeps the place: the feed reloads each
// time the viewer comes back to it.
class ZV_HomeStripPlaces {
public:
    struct Strip {
        int section = 0;
        std::string title;
        std::vector<std::string> movieIDs;

        bool operator==(const Strip&) const = default;
    };

    static Strip strip(int section, const ZV_HomeRecommendModelData& data);

    void remember(const Strip& strip, CGFloat offset);
    // 0 for a strip not seen there before.
    CGFloat offset(const Strip& strip) const;

private:
    // By section, the strip last seen there: what is kept stays as small as the feed.
    std::map<int, std::pair<Strip, CGFloat>> m_places;
};
