// Feeds untrusted replies to the home tab: the recommend feed built into its sections (with and
// without the ad-free mode) and sized, a filter page's titles, the tabs of a configuration, and
// an update offer whose release notes size the prompt. The input is one reply's delivered value
// (JSON).

#include "app/Core/Models/ZV_ConfigData.h"
#include "app/MainController/Home/Controller/ZV_HomeScreemVC.h"
#include "app/MainController/Home/Controller/ZV_HomeViewController.h"
#include "app/MainController/Home/View/ZV_HomeBannerCollCell.h"
#include "app/MainController/Home/View/ZV_UpdateAPPContentView.h"
#include "app/MainController/Home/View/ZV_UpdateAPPView.h"
#include "platform/json/JSON.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void feed(const JSON& reply)
{
    auto sections = ZV_HomeViewController::sectionsFrom(reply, false);
    // One section for each element that is an object; anything else in the list is left out.
    std::vector<JSON> elements = reply.arrayValue();
    auto objects = std::count_if(elements.begin(), elements.end(),
        [](const JSON& element) { return element.type() == JSON::Type::Object; });
    check(sections.size() == static_cast<std::size_t>(objects));
    auto adFree = ZV_HomeViewController::sectionsFrom(reply, true);
    check(adFree.size() <= sections.size());
    for (const auto& section : adFree) {
        check(section && section->layout != ZV_HomeRecommendModelData::advertLayout);
        ZV_HomeViewController::keepTitlesOnly(*section);
        for (const auto& item : section->list)
            check(item && item->type == 1);
        int items = ZV_HomeViewController::numberOfItems(*section);
        check(items >= 0);
        CGSize size = ZV_HomeViewController::itemSize(section->layout, 390, false);
        check(std::isfinite(size.width) && std::isfinite(size.height) && size.width > 0);
        // The carousel's block stays on its track for every page.
        int pages = static_cast<int>(section->list.size());
        CGFloat track = ZV_HomeBannerCollCell::sliderWidth(pages, 390);
        for (int page = 0; page < pages; ++page) {
            CGFloat offset = ZV_HomeBannerCollCell::blockOffset(track, pages, page);
            check(std::isfinite(offset) && offset >= 0
                && offset + ZV_HomeBannerCollCell::blockSliderViewWidth <= track + 1e-6);
        }
    }
}

void configuration(const JSON& value)
{
    ZV_ConfigData config(value);
    check(config.index_top_nav.size() == value["index_top_nav"].arrayValue().size());
    for (const auto& tab : value["index_top_nav"].arrayValue()) {
        (void)tab["id"].intValue();
        (void)tab["name"].stringValue();
    }
}

void update(const JSON& value)
{
    CGFloat notes = ZV_UpdateAPPContentView::notesHeight(value);
    check(std::isfinite(notes) && notes >= 0 && notes == std::ceil(notes));
    check(ZV_UpdateAPPView::contentHeight(value) == ZV_UpdateAPPContentView::contentBaseHeight + notes);
    check(!value["intro"].stringValue().empty() || notes == 0);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    JSON value = JSON::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    feed(value);
    for (const auto& item : ZV_HomeScreemVC::itemsFrom(value))
        check(item != nullptr);
    // The tabs and their pages are read from the same list.
    configuration(value);
    update(value);
    update(value["data"]);
    return 0;
}
