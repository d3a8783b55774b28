#pragma once

#include "app/BaseController/BaseViewController.h"

// The home screen, page 0 of the root tabs. It reloads its data when teen mode changes
// ("pureMode").
class ZV_MainHomeViewController : public BaseViewController {
public:
    ZV_MainHomeViewController() = default;
    ~ZV_MainHomeViewController() override;

    std::string className() const override { return "ZV_MainHomeViewController"; }

    void viewDidLoad() override;
    void reloadData();
};
