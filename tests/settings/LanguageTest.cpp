#include "settings/Language.h"

#include <gtest/gtest.h>

namespace varnolux {
namespace {

TEST(Language, LanguageTextFallsBackToTheDefault)
{
    EXPECT_EQ(LanguageText("NoSuchSection", "NoSuchKey", "fallback"), "fallback");
    EXPECT_EQ(LanguageText("NoSuchSection", "NoSuchKey"), "");
}

} // namespace
} // namespace varnolux
