#pragma once

#include "app/BaseController/BaseViewController.h"

#include <string>

// The title detail page as the lists open it: made with the plain initialiser, given the title's
// id in vod_id and shown. This first form only names the title it was opened for.
class ZV_DetailVC : public BaseViewController {
public:
    ZV_DetailVC() = default;

    std::string className() const override { return "ZV_DetailVC"; }

    std::string vod_id;

    void viewDidLoad() override;
};
