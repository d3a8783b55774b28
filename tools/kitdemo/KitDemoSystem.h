#pragma once

#include <filesystem>

// The device side of the demo's system page: the photo library holds the data folder's pictures
// and one file that is no picture; the share outbox is a folder of the output folder, where a
// person finds what the demo shared.
void prepareKitDemoSystem(const std::filesystem::path& dataDir, const std::filesystem::path& scratch,
    const std::filesystem::path& outputFolder);
