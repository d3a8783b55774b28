#pragma once

#include "app/BaseController/BaseViewController.h"

// The personal centre, page 4 of the root tabs. It reloads on sign-in and sign-out.
class ZV_PersonalCenterVC : public BaseViewController {
public:
    ZV_PersonalCenterVC() = default;
    ~ZV_PersonalCenterVC() override;

    std::string className() const override { return "ZV_PersonalCenterVC"; }

    void viewDidLoad() override;
    void reloadData();
};
