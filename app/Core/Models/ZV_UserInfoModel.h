#pragma once

#include <cstdint>
#include <string>

class JSON;

// The signed-in viewer's profile ("v1/user/info").
struct ZV_UserInfoModel {
    ZV_UserInfoModel() = default;
    explicit ZV_UserInfoModel(const JSON& json);

    std::string avatar;
    std::int64_t create_time = 0;
    std::string email;
    std::string id; // text even when the server sends a number: chat compares it as text
    std::string login_addr;
    std::string login_ip;
    std::string nickname;
    std::string phone;
    std::int64_t status = 0;
    std::string username;
};
