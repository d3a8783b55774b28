#pragma once

#include "app/BaseController/BaseViewController.h"

// The short-video screen, page 3 of the root tabs.
class ZV_ShortPageVC : public BaseViewController {
public:
    ZV_ShortPageVC() = default;

    std::string className() const override { return "ZV_ShortPageVC"; }

    void viewDidLoad() override;
};
