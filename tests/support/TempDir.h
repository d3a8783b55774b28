#pragma once

#include <filesystem>
#include <string>

namespace zvtest {

// A fresh directory under the system temp folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Root of the source tree (for test data files); ZV_SOURCE_DIR overrides.
std::filesystem::path sourceDir();
// The build tree the tests belong to; ZV_BUILD_DIR overrides.
std::filesystem::path buildDir();

// Where tests leave pictures for a person to look at: <build>/screenshots/<name>, never the
// working directory. The folder is created.
std::filesystem::path screenshotPath(const std::string& name);

}
