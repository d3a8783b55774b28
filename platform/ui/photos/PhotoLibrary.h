#pragma once

#include <filesystem>

// The device's photo library is a folder: the image picker lists its files and the album writer
// saves into it. A person can fill it or look into it with any file manager.
class PhotoLibrary {
public:
    // "PhotoLibrary" in the app container's home unless set.
    static std::filesystem::path directory();
    // An empty path goes back to the default.
    static void setDirectory(std::filesystem::path directory);
};
