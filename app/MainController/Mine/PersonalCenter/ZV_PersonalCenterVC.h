#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_UserInfoModel.h"
#include "app/MainController/Mine/PersonalCenter/PersonalCenterRowType.h"
#include "platform/json/JSON.h"
#include "platform/ui/lists/UICollectionView.h"

#include <memory>
#include <optional>
#include <vector>

// The personal centre, page 4 of the root tabs and the way into the viewer's own pages: the user
// header, three shortcut tiles (favourites, playback record, local downloads), the advert banner
// of the "user_index" placement when it has a picture, and the menu (notices, share, feedback,
// help, contact). The profile comes from "v1/user/info" at load and after each sign-in, goes on
// sign-out, and is handed to ConfigSingleton for the rest of the app.
//
// Sections are laid out by their index, not by what they hold: the header's section, the tiles'
// section, then every later section 24 points in from the sides.
class ZV_PersonalCenterVC : public BaseViewController,
                            public UICollectionViewDataSource,
                            public UICollectionViewDelegateFlowLayout {
public:
    ZV_PersonalCenterVC() = default;
    ~ZV_PersonalCenterVC() override;

    std::string className() const override { return "ZV_PersonalCenterVC"; }

    void viewDidLoad() override;
    // Draws the cells again (a changed badge or profile), without a request.
    void viewWillAppear(bool animated) override;
    std::optional<bool> preferredNavigationBarHidden() const override { return true; }

    const std::shared_ptr<ZV_UserInfoModel>& model() const { return m_model; }
    const std::vector<std::vector<PersonalCenterRowType>>& sectionList() const { return m_sectionList; }
    // Made on first use.
    const std::shared_ptr<UICollectionView>& collectionView();

    // Rebuilds the sections from the advert configuration and reloads the list.
    void setupSectionList();
    // "loginSuccess" fetches the profile, "logoutSuccess" drops it.
    void addObservers();
    // Fetches the profile.
    void loadData();
    // Back to the signed-out header; the shared profile is the sign-out's own business.
    void logoutSuccess();
    // The reply of "v1/user/info": a delivered object is the profile (the server's `data`);
    // anything else keeps the profile there is. The sections are rebuilt either way.
    void userInfoReceived(const std::optional<JSON>& json);

    // UICollectionViewDataSource
    int numberOfSections(UICollectionView&) override;
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath& indexPath) override;
    // UICollectionViewDelegateFlowLayout: the tap dispatch by row type, and the layout.
    void didSelectItem(UICollectionView&, const IndexPath& indexPath) override;
    std::optional<CGSize> sizeForItem(
        UICollectionView&, UICollectionViewLayout&, const IndexPath& indexPath) override;
    std::optional<UIEdgeInsets> insetForSection(
        UICollectionView&, UICollectionViewLayout&, int section) override;
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;

    // What a tap on an item of this type does.
    void select(PersonalCenterRowType type);

private:
    std::optional<PersonalCenterRowType> rowAt(const IndexPath& indexPath) const;
    void push(std::shared_ptr<UIViewController> page);

    std::shared_ptr<ZV_UserInfoModel> m_model;
    std::vector<std::vector<PersonalCenterRowType>> m_sectionList;
    std::shared_ptr<UICollectionView> m_collectionView;
};
