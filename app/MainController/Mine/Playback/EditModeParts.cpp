#include "app/MainController/Mine/Playback/EditModeParts.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_HomeRecommendModelDataList.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Network/ZV_NetworkReply.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Other/View/ZV_AdvertView.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/UIViewLayout.h"
#include "platform/ui/lists/UICollectionView.h"

namespace editmode {

std::shared_ptr<UICollectionView> makeList(
    std::weak_ptr<UICollectionViewDelegate> delegate, std::weak_ptr<UICollectionViewDataSource> dataSource)
{
    auto list = std::make_shared<UICollectionView>(CGRect {}, std::make_shared<UICollectionViewFlowLayout>());
    list->setDelegate(std::move(delegate));
    list->setDataSource(std::move(dataSource));
    list->setBackgroundColor(zvadaptive::pageColor(UIColor::white()));
    list->setShowsHorizontalScrollIndicator(false);
    list->setShowsVerticalScrollIndicator(false);
    list->setContentInset({ 10, 0, 0, 0 });
    return list;
}

std::shared_ptr<UIButton> makeEditButton()
{
    auto button = UIView::create<UIButton>();
    button->setFont(UIFont::systemFont(14));
    button->setTitleColor(zvadaptive::textColor(colorWithHex("1D1942")), UIControlStateNormal);
    button->setTitle(std::string("编辑"), UIControlStateNormal);
    button->setTitle(std::string("完成"), UIControlStateSelected);
    button->setContentEdgeInsets({ 5, 10, 5, 10 });
    button->setAccessibilityIdentifier("edit.switch");
    return button;
}

std::shared_ptr<UIButton> makeSelectAllButton()
{
    auto button = UIView::create<UIButton>();
    button->setFont(UIFont::systemFont(14));
    button->setTitleColor(zvadaptive::textColor(colorWithHex("1D1942")), UIControlStateNormal);
    button->setTitle(std::string("全选"), UIControlStateNormal);
    button->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::left);
    button->setAccessibilityIdentifier("edit.all");
    return button;
}

std::shared_ptr<UIButton> makeDeleteButton()
{
    auto button = UIView::create<UIButton>();
    button->setBackgroundColor(zvadaptive::whiteTextFill(colorWithHex("#EF5252")));
    button->setFont(UIFont::systemFont(14));
    button->setTitleColor(UIColor::white(), UIControlStateNormal);
    button->setTitle(std::string("删除"), UIControlStateNormal);
    makeCorner(*button, 8);
    button->setAccessibilityIdentifier("edit.delete");
    return button;
}

std::shared_ptr<ZV_AdvertView> makeBanner(
    UIViewController& page, ZV_AdvertModel ZV_AdvertConfigModel::*placement)
{
    const auto& config = ConfigSingleton::shared().advertConfigModel;
    if (!config || ((*config).*placement).data.image.empty())
        return nullptr;
    std::shared_ptr<ZV_AdvertView> banner = ZV_AdvertView::make();
    banner->setModel((*config).*placement);
    std::weak_ptr<UIViewController> weakPage
        = std::static_pointer_cast<UIViewController>(page.shared_from_this());
    addTapAction(*banner, [weakPage, placement](UITapGestureRecognizer&) {
        if (auto shown = weakPage.lock())
            ZV_AdvertView::openLink(*shown, placement);
    });
    return banner;
}

void addBottomBar(UIView& page, const std::shared_ptr<UIView>& bar,
    const std::shared_ptr<UIButton>& selectAll, const std::shared_ptr<UIButton>& remove)
{
    bar->setHidden(true);
    page.addSubview(bar);
    bar->addSubview(selectAll);
    bar->addSubview(remove);
    setContentHuggingPriority(*selectAll, 750, UILayoutConstraintAxis::horizontal);
    snp(bar).makeConstraints([&page](ConstraintMaker& make) {
        make.left().right().equalToSuperview();
        make.bottom().equalTo(snp(page).safeAreaLayoutGuide().bottom());
    });
    snp(selectAll).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.centerY().equalToSuperview();
    });
    snp(remove).makeConstraints([&selectAll](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.top().bottom().equalToSuperview().inset(8);
        make.height().equalTo(44);
        make.left().equalTo(snp(selectAll).right()).offset(24);
    });
}

void placeList(UIView& list, UIView& page, const std::shared_ptr<UIView>& banner, UIView& bar, bool editing)
{
    snp(list).remakeConstraints([&](ConstraintMaker& make) {
        if (banner)
            make.top().equalTo(snp(banner).bottom()).offset(10);
        else
            make.top().equalToSuperview().offset(10);
        make.left().right().equalToSuperview();
        if (editing)
            make.bottom().equalTo(snp(bar).top());
        else
            make.bottom().equalToSuperview();
    });
}

std::string joinSelectedIds(const std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>>& entries)
{
    std::string ids;
    for (const auto& entry : entries) {
        if (!entry || !entry->isSel)
            continue;
        if (!ids.empty())
            ids += ",";
        ids += entry->id;
    }
    return ids;
}

std::size_t selectedCount(const std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>>& entries)
{
    std::size_t count = 0;
    for (const auto& entry : entries)
        count += entry && entry->isSel ? 1 : 0;
    return count;
}

std::string deleteTitle(std::size_t selected)
{
    return "删除 " + std::to_string(selected);
}

void requestDelete(
    std::string_view path, const std::string& ids, std::function<void(DeleteResult)> completion)
{
    ZV_Network::shared().request(
        HTTPMethod::GET, BaseURLs::main_url(), path, JSON::object({ { "ids", JSON(ids) } }),
        [completion = std::move(completion)](std::optional<JSON> json, std::optional<NSError> error) {
            if (!completion)
                return;
            if (error || !json) {
                completion({ false, error ? error->domain : ZV_NetworkReply::unusableReplyError().domain });
                return;
            }
            // A success delivers `data`, or the server's message when `data` is empty.
            completion({ true, json->string().value_or(std::string()) });
        },
        ZV_Network::SignInReplies::Complete);
}

}
