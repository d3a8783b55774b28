#include "platform/ui/photos/PhotoLibrary.h"

#include "platform/foundation/AppContainer.h"

namespace {

std::filesystem::path& configuredDirectory()
{
    static std::filesystem::path directory;
    return directory;
}

}

std::filesystem::path PhotoLibrary::directory()
{
    const auto& configured = configuredDirectory();
    return configured.empty() ? AppContainer::home() / "PhotoLibrary" : configured;
}

void PhotoLibrary::setDirectory(std::filesystem::path directory)
{
    configuredDirectory() = std::move(directory);
}
