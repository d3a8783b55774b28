#include "tests/support/TempDir.h"

#include <cstdlib>
#include <stdexcept>

namespace zvtest {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zvtest-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path sourceDir()
{
    if (const char* dir = std::getenv("ZV_SOURCE_DIR"))
        return dir;
    return ZV_TEST_SOURCE_DIR;
}

std::filesystem::path buildDir()
{
    if (const char* dir = std::getenv("ZV_BUILD_DIR"))
        return dir;
    return ZV_TEST_BUILD_DIR;
}

std::filesystem::path screenshotPath(const std::string& name)
{
    std::filesystem::path folder = buildDir() / "screenshots";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder / name;
}

}
