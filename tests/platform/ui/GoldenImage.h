#include <gtest/gtest.h>

#pragma once

#include "platform/ui/UIImage.h"

#include <string>

namespace uitest {

// Compares an image with tests/platform/ui/golden/<name>.png, allowing small differences from
// antialiasing. With ZV_UPDATE_GOLDEN=1 the golden file is written instead. The actual image is
// always written to the build directory (golden-actual/<name>.png) for inspection.
::testing::AssertionResult matchesGolden(const UIImage& image, const std::string& name);

}
