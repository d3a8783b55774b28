#include "app/Core/Helpers/SessionHelpers.h"

#include "app/Core/Storage/StoreData.h"

bool isLoggedIn()
{
    return StoreData::value(StoreData::access_token).has_value();
}
