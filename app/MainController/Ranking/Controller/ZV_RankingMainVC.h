#pragma once

#include "app/BaseController/BaseViewController.h"

// The ranking screen, page 1 of the root tabs. While it shows, the root's background picture is
// "ranking_bg".
class ZV_RankingMainVC : public BaseViewController {
public:
    ZV_RankingMainVC() = default;

    std::string className() const override { return "ZV_RankingMainVC"; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
};
