#include "app/Core/Config/ConfigSingleton.h"

ConfigSingleton& ConfigSingleton::shared()
{
    // Deliberately never destroyed: screens may still read it while the
    // process tears down its other statics.
    static ConfigSingleton* const instance = new ConfigSingleton();
    return *instance;
}
