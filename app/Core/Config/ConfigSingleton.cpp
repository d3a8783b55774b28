#include "app/Core/Config/ConfigSingleton.h"

#include "platform/foundation/NoDestructor.h"

ConfigSingleton& ConfigSingleton::shared()
{
    // Deliberately never destroyed: screens may still read it while the
    // process tears down its other statics.
    static NoDestructor<ConfigSingleton> instance;
    return *instance;
}
