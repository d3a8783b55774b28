#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_ConfigData.h"
#include "app/Core/Models/ZV_HomeRightModel.h"
#include "platform/json/JSON.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/segmented/JXSegmentedListContainerView.h"
#include "platform/ui/segmented/JXSegmentedTitleDataSource.h"
#include "platform/ui/segmented/JXSegmentedView.h"

#include <cstdint>
#include <memory>
#include <vector>

class JXSegmentedIndicatorBackgroundView;

// The home tab: a row of text tabs from the server configuration ("index_top_nav") with the
// search button at its right end, and one page per tab below: the filter page for a tab whose id
// names a filter group of the configuration, the recommend feed for every other tab. It also does
// the home tab's start-up chores, in this order: the teen-mode prompt (once), the update check
// ("v1/app/check_update"), the configuration ("v1/app/config", which builds the tabs and so the
// first feed), the pop-up advert; and it loads the configuration again when teen mode changes.
//
// The configuration is published to ConfigSingleton and kept under "appConfig"; a request that
// brings no configuration (a failure, an error reply, anything but an object) falls back to the
// kept one and never replaces it.
class ZV_MainHomeViewController : public BaseViewController,
                                  public JXSegmentedViewDelegate,
                                  public JXSegmentedListContainerViewDataSource {
public:
    ZV_MainHomeViewController() = default;
    ~ZV_MainHomeViewController() override;

    std::string className() const override { return "ZV_MainHomeViewController"; }

    std::optional<bool> preferredNavigationBarHidden() const override { return true; }

    // The configuration last applied.
    std::shared_ptr<const ZV_ConfigData> zv_configData;
    // Tab ids in tab order, rebuilt with the tabs.
    std::vector<std::int64_t> types;

    const std::shared_ptr<JXSegmentedTitleDataSource>& zv_dataSource();
    const std::shared_ptr<JXSegmentedView>& zv_segmentedView();
    const std::shared_ptr<JXSegmentedListContainerView>& zv_listContainerView();
    const std::shared_ptr<UIView>& zv_shadowView();
    const std::shared_ptr<UIButton>& zv_searchBtn();

    void viewDidLoad() override;

    virtual void setupUI();
    virtual void loadConfig();
    virtual void applyConfig(const JSON& json);
    // The teen-mode observer's action.
    void zv_loadData() { loadConfig(); }
    // The "more" link of a feed section.
    void clickRight(const ZV_HomeRightModel& model);

    // The client version as the update check sends it: "308" less its points, as a number.
    static std::int64_t currentVersionNumber();

    // JXSegmentedListContainerViewDataSource
    int numberOfLists(JXSegmentedListContainerView&) override;
    std::shared_ptr<JXSegmentedListContainerViewListDelegate> initListAt(
        JXSegmentedListContainerView&, int index) override;

private:
    void checkUpdate();
    std::weak_ptr<ZV_MainHomeViewController> weakSelf();

    std::shared_ptr<JXSegmentedTitleDataSource> m_dataSource;
    // Kept for the tab style; the tab row is given no indicators.
    std::shared_ptr<JXSegmentedIndicatorBackgroundView> m_indicator;
    std::shared_ptr<JXSegmentedView> m_segmentedView;
    std::shared_ptr<JXSegmentedListContainerView> m_listContainerView;
    std::shared_ptr<UIView> m_shadowView;
    std::shared_ptr<UIButton> m_searchBtn;
};
