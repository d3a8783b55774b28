#pragma once

#include "app/BaseController/BaseViewController.h"

#include <string>

// The title page, so far in its least form: lists open it with the title's id and it shows the
// id under its title.
class ZV_DetailVC : public BaseViewController {
public:
    ZV_DetailVC() = default;

    std::string className() const override { return "ZV_DetailVC"; }

    void viewDidLoad() override;

    // The title's id; set by the opener before the page shows.
    std::string vod_id;
};
