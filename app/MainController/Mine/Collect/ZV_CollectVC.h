#pragma once

#include "app/BaseController/BaseViewController.h"

// The favourites page, in its least form until it has its own content.
class ZV_CollectVC : public BaseViewController {
public:
    ZV_CollectVC() = default;

    std::string className() const override { return "ZV_CollectVC"; }

    void viewDidLoad() override;
};
