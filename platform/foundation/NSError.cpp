#include "platform/foundation/NSError.h"

std::string NSError::localizedDescription() const
{
    if (auto it = userInfo.find("NSLocalizedDescription"); it != userInfo.end())
        return it->second;
    return "The operation couldn\u2019t be completed. (" + domain + " error " + std::to_string(code) + ".)";
}
