#include "app/MainController/Search/Model/ZV_SearchMovieModel.h"
#include "platform/json/JSON.h"

#include <gtest/gtest.h>

namespace {

TEST(ZV_SearchMovieModel, ReadsThePosterCardFields)
{
    JSON results = JSON::parse(R"([
        {"id": "40217", "name": "青石巷的雨季", "cover": "https://img.zentavo.example/cover/40217.jpg",
         "dynamic": "更新至12集", "label": "独播"},
        {"id": "40601", "cover": 7},
        "not an object"
    ])");
    ZV_SearchMovieModel first(results[0]);
    EXPECT_EQ(first.cover, "https://img.zentavo.example/cover/40217.jpg");
    EXPECT_EQ(first.dynamic, "更新至12集");
    EXPECT_EQ(first.label, "独播");

    ZV_SearchMovieModel second(results[1]);
    EXPECT_EQ(second.cover, "7");
    EXPECT_EQ(second.dynamic, ""); // nothing carried over from the first result
    EXPECT_EQ(second.label, "");

    ZV_SearchMovieModel third(results[2]);
    EXPECT_EQ(third.cover, "");
}

}
