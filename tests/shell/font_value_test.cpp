#include "shell/font_value.h"

#include <gtest/gtest.h>

namespace vorlin {
namespace {

TEST(FontValue, PlaceholderBuilds) { EXPECT_EQ(MakeFontValue("Tahoma", 10).height, -13); }

}  // namespace
}  // namespace vorlin
