#include "shell/FitToPanel.h"

#include <gtest/gtest.h>

namespace varnolux {
namespace {

TEST(FitToPanel, KeepsThePictureProportions)
{
    struct {
        int pictureWidth, pictureHeight, panelWidth, panelHeight;
        TViewPlacement expected;
    } const cases[] = {
        {400, 200, 300, 300, {2, 76, 296, 148}}, {300, 300, 400, 300, {52, 2, 296, 296}},
        {100, 400, 300, 300, {113, 2, 74, 296}}, {0, 200, 300, 300, {0, 0, 1, 1}},
        {200, 0, 300, 300, {0, 0, 1, 1}},
    };
    for (const auto& c : cases) {
        const TViewPlacement view =
            FitToPanel(c.pictureWidth, c.pictureHeight, c.panelWidth, c.panelHeight, 2);
        EXPECT_EQ(view.Left, c.expected.Left) << c.pictureWidth << "x" << c.pictureHeight;
        EXPECT_EQ(view.Top, c.expected.Top);
        EXPECT_EQ(view.Width, c.expected.Width);
        EXPECT_EQ(view.Height, c.expected.Height);
    }
}

} // namespace
} // namespace varnolux
