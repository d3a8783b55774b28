#include "tests/app/Core/Models/ModelSamples.h"

#include "tests/support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace zvtest {

JSON sampleReplyData(const std::string& fileName)
{
    std::ifstream file(sourceDir() / "tests/app/Core/Models/data" / fileName);
    EXPECT_TRUE(file) << "missing sample " << fileName;
    std::stringstream text;
    text << file.rdbuf();
    JSON reply = JSON::parse(text.str());
    EXPECT_EQ(reply["errorCode"].intValue(), 0) << fileName;
    EXPECT_TRUE(reply["data"].exists()) << fileName;
    return reply["data"];
}

}
