#pragma once

#include "app/Core/Models/ZV_AdvertConfigModel.h"
#include "app/Core/Models/ZV_ConfigData.h"
#include "app/Core/Models/ZV_UserInfoModel.h"

#include <memory>

// The state that many screens read: the server configuration, the advert
// placements and the signed-in viewer's profile. Each is replaced whole by its
// writer and never edited in place, hence the const models; null means not
// received (or, for the profile, nobody signed in). Main thread only.
template<typename T> class NoDestructor;

class ConfigSingleton {
public:
    // Created on first use and kept until the process ends.
    static ConfigSingleton& shared();

    ConfigSingleton(const ConfigSingleton&) = delete;
    ConfigSingleton& operator=(const ConfigSingleton&) = delete;

    std::shared_ptr<const ZV_ConfigData> zv_configData;
    std::shared_ptr<const ZV_AdvertConfigModel> advertConfigModel;
    std::shared_ptr<const ZV_UserInfoModel> zv_userInfoModel;

private:
    friend class NoDestructor<ConfigSingleton>;
    ConfigSingleton() = default;
};
