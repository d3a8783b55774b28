#include "app/MainController/Login/View/ZV_jsApi.h"

ZV_jsApi::ZV_jsApi()
{
    // The object lives as long as the overlay that owns it, and the view holds it weakly.
    exportMethod(methodName, [this](const std::string& argument) { return jsIOS(argument); });
}

std::string ZV_jsApi::jsIOS(const std::string& argument)
{
    if (getResult)
        getResult(argument);
    return std::string("[Swift sync call:") + methodName + "]";
}
