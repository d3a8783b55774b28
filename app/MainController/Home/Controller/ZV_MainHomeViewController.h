#pragma once

#include "app/BaseController/BaseViewController.h"

// The home screen, page 0 of the root tabs. So far it runs the home tab's start-up chores for the
// app: the teen-mode prompt while that has not been answered, and the server configuration
// ("v1/app/config", handed to ConfigSingleton), loaded again when teen mode changes ("pureMode").
class ZV_MainHomeViewController : public BaseViewController {
public:
    ZV_MainHomeViewController() = default;
    ~ZV_MainHomeViewController() override;

    std::string className() const override { return "ZV_MainHomeViewController"; }

    void viewDidLoad() override;
    // Loads the server configuration.
    void reloadData();
};
