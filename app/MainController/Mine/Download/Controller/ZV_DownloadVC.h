#pragma once

#include "app/BaseController/BaseViewController.h"

#include <string>

// The download centre, so far in its least form: the personal centre's "本地下载" tile opens it.
class ZV_DownloadVC : public BaseViewController {
public:
    ZV_DownloadVC() = default;

    std::string className() const override { return "ZV_DownloadVC"; }

    void viewDidLoad() override;
};
