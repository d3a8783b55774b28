#pragma once

#include "platform/json/JSON.h"

#include <string>

namespace zvtest {

// The `data` of a sample server reply in tests/app/Core/Models/data/.
JSON sampleReplyData(const std::string& fileName);

}
