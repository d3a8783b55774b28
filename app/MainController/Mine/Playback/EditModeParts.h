#pragma once

#include "app/Core/Models/ZV_AdvertConfigModel.h"
#include "platform/ui/controls/UIControl.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class UIButton;
class UICollectionView;
class UICollectionViewDataSource;
class UICollectionViewDelegate;
class UIView;
class UIViewController;
class ZV_AdvertView;
struct ZV_HomeRecommendModelDataList;

// The edit mode that the playback history and the favourites share: the "编辑" / "完成" switch
// in the navigation bar, a bar at the bottom with "全选" and a red delete button, the advert
// banner above the list, and the deletion of the selected entries on the server.
namespace editmode {

std::shared_ptr<UIButton> makeEditButton();
// The pages' list: white, without scroll indicators, 10 points of room above its first row, laid
// out and filled by the page, which it holds weakly.
std::shared_ptr<UICollectionView> makeList(
    std::weak_ptr<UICollectionViewDelegate> delegate, std::weak_ptr<UICollectionViewDataSource> dataSource);
// On a tap, runs the action on the page if the page is still there (the button holds it weakly).
template<class Control, class Page, class Action>
void onTap(Control& control, std::weak_ptr<Page> page, Action action)
{
    control.addAction(UIControlEventTouchUpInside, [page = std::move(page), action](auto&) {
        if (auto self = page.lock())
            std::invoke(action, *self);
    });
}

std::shared_ptr<UIButton> makeSelectAllButton();
std::shared_ptr<UIButton> makeDeleteButton();

// The placement's banner when its picture is set, else none; a tap opens the placement's link
// as it is in the configuration at the time of the tap.
std::shared_ptr<ZV_AdvertView> makeBanner(
    UIViewController& page, ZV_AdvertModel ZV_AdvertConfigModel::*placement);

// Puts the bar (hidden) at the bottom of the page above the safe area, the select-all button at
// its left and the delete button (44 high) filling the rest: 60 points in all.
void addBottomBar(UIView& page, const std::shared_ptr<UIView>& bar,
    const std::shared_ptr<UIButton>& selectAll, const std::shared_ptr<UIButton>& remove);
// Places the list on the page: 10 below the banner when there is one, else 10 below the page's
// top; down to the bar in edit mode, else to the page's bottom. Any earlier placement goes.
void placeList(UIView& list, UIView& page, const std::shared_ptr<UIView>& banner, UIView& bar, bool editing);

// The ids of the selected entries in list order, joined by ",".
std::string joinSelectedIds(const std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>>& entries);
std::size_t selectedCount(const std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>>& entries);
// "删除 " and the count.
std::string deleteTitle(std::size_t selected);

// What a deletion came to: success with the server's text (possibly empty), or the error's text.
struct DeleteResult {
    bool succeeded = false;
    std::string message;
};
// GET of the path with the single parameter `ids`. Only a success reply counts; a refused sign-in
// also completes (as a failure), after the client has acted on it.
void requestDelete(
    std::string_view path, const std::string& ids, std::function<void(DeleteResult)> completion);

}
