#pragma once

#include "app/BaseController/BaseViewController.h"

#include <optional>
#include <string>

// The search page, in its least form until it has its own content: it names the keyword it was
// opened with.
class ZV_SearchVC : public BaseViewController {
public:
    ZV_SearchVC() = default;

    std::string className() const override { return "ZV_SearchVC"; }

    // Set before the page is shown to search for it at once.
    std::optional<std::string> keyword;

    void viewDidLoad() override;
};
