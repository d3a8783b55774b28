#include "app/MainController/Chat/Model/MessageSender.h"

#include "app/Core/Config/ConfigSingleton.h"

std::shared_ptr<const MessageSender> MessageSender::current()
{
    if (const auto& profile = ConfigSingleton::shared().zv_userInfoModel)
        return std::make_shared<const MessageSender>(profile->id, profile->nickname);
    return std::make_shared<const MessageSender>("any_unique_id", "Steven");
}
