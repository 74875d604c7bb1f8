#include "ImagingTestSupport.h"
#include "imaging/TImageView.h"
#include "imaging/TQImage.h"
#include "imaging/TQPoint.h"
#include "imaging/TQROIRGB.h"

#include <gtest/gtest.h>

namespace varnolux {
namespace {

/// A view of a fixed size on screen that counts its repaints.
class TCountingView : public TImageView {
public:
    TCountingView(int width, int height)
        : width_(width)
        , height_(height)
    {
    }
    int ControlWidth() const override { return width_; }
    int ControlHeight() const override { return height_; }
    TBitmap24& Picture() override { return picture_; }
    void PictureChanged() override { ++Repaints; }
    int Repaints = 0;

private:
    int width_;
    int height_;
    TBitmap24 picture_;
};

TEST(Surface, StartsWithGreyBackgroundAndNoControl)
{
    const TQImage surface;
    EXPECT_EQ(surface.BackgroundColour, 128u);
    EXPECT_EQ(surface.Control, nullptr);
    EXPECT_EQ(surface.Bitmap, nullptr);
}

TEST(Surface, ScaleIsBitmapSizeOverControlSize)
{
    TCountingView view(100, 50);
    TQImage surface(&view);
    EXPECT_EQ(surface.Bitmap, &view.Picture());
    surface.SetBitmapSize(250, 25);
    EXPECT_DOUBLE_EQ(surface.ScaleX, 2.5);
    EXPECT_DOUBLE_EQ(surface.ScaleY, 0.5);
    surface.ResetBitmap();
    EXPECT_EQ(view.Picture().Width(), 0);
    EXPECT_DOUBLE_EQ(surface.ScaleX, 0.0);
}

TEST(Surface, ScaleOfAControlWithoutSizeIsOne)
{
    TCountingView view(0, 0);
    TQImage surface(&view);
    surface.SetBitmapSize(30, 30);
    EXPECT_DOUBLE_EQ(surface.ScaleX, 1.0);
    EXPECT_DOUBLE_EQ(surface.ScaleY, 1.0);
}

TEST(Surface, ClearFillsWithTheBackgroundColour)
{
    TImageBox box;
    TQImage surface(&box);
    surface.SetBitmapSize(3, 2);
    surface.BackgroundColour = MakeColour(1, 2, 3);
    surface.Clear();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(box.Picture().Pixel(x, y), MakeColour(1, 2, 3));
}

/// The painted area of a bitmap as rows of text.
std::vector<std::string> Painted(const TBitmap24& bitmap, TColour colour)
{
    std::vector<std::string> rows;
    for (int y = 0; y < bitmap.Height(); ++y) {
        rows.emplace_back();
        for (int x = 0; x < bitmap.Width(); ++x)
            rows.back() += bitmap.Pixel(x, y) == colour ? '#' : '.';
    }
    return rows;
}

TEST(Surface, APointCoversScalePlusOnePixels)
{
    TCountingView view(2, 2);
    TQImage surface(&view);
    surface.SetBitmapSize(5, 5); // scale 2.5: from x to trunc(x + 2.5) + 1
    surface.DrawPoint(1, 0, 0xff);
    EXPECT_EQ(Painted(view.Picture(), 0xff),
              (std::vector<std::string>{".###.", ".###.", ".###.", ".....", "....."}));
}

TEST(Surface, APointAtScaleOneIsTwoByTwoAndClipped)
{
    TImageBox box;
    TQImage surface(&box);
    surface.SetBitmapSize(3, 3);
    surface.DrawPoint(2, -1, 0xff);
    EXPECT_EQ(Painted(box.Picture(), 0xff), (std::vector<std::string>{"..#", "...", "..."}));
}

TEST(Point, DrawsAtPositionPlusOriginInItsColour)
{
    TImageBox box;
    TQImage surface(&box);
    surface.SetBitmapSize(4, 4);
    TQPoint point(1, 0, 1, 2);
    EXPECT_EQ(point.Colour, 0xff0000u);
    point.SetImage(&surface);
    point.Show(false);
    EXPECT_EQ(Painted(box.Picture(), 0xff0000),
              (std::vector<std::string>{"....", "....", "..##", "..##"}));

    TQPoint copy(0, 0, 0, 0);
    point.Colour = 0x00ff00;
    copy.Assign(point);
    EXPECT_EQ(copy.X, 1);
    EXPECT_EQ(copy.OriginY, 2);
    EXPECT_EQ(copy.Colour, 0x00ff00u);
}

TEST(SetImage, GrowsTheBitmapButNeverShrinksIt)
{
    TImageBox box;
    TQImage surface(&box);
    surface.SetBitmapSize(5, 1);
    TQROIL roi(3, 4);
    roi.SetImage(&surface);
    EXPECT_EQ(roi.Image, &surface);
    EXPECT_EQ(box.Picture().Width(), 5);
    EXPECT_EQ(box.Picture().Height(), 4);

    TQImage detached;
    roi.SetImage(&detached);
    EXPECT_EQ(roi.Image, &detached);
}

TEST(Show, ClearsWhenAskedDrawsAndRepaints)
{
    TCountingView view(4, 1);
    TQImage surface(&view);
    surface.SetBitmapSize(4, 1);
    surface.BackgroundColour = 0x010101;
    TQROIL roi(1, 1);
    roi.SetMask(1);
    roi.OriginX = 1;
    roi.SetImage(&surface);

    roi.Show(true);
    EXPECT_EQ(Painted(view.Picture(), 0x010101), (std::vector<std::string>{"#.##"}));
    EXPECT_EQ(Painted(view.Picture(), 0xffffff), (std::vector<std::string>{".#.."}));
    EXPECT_EQ(view.Repaints, 1);

    view.Picture().Fill(0);
    roi.Show(false);
    EXPECT_EQ(Painted(view.Picture(), 0), (std::vector<std::string>{"#.##"}));
}

TEST(ShowOn, DrawsOnAnotherSurfaceAndKeepsItsOwn)
{
    TImageBox own;
    TImageBox other;
    TQImage ownSurface(&own);
    TQImage otherSurface(&other);
    TQROIL roi(2, 2);
    roi.SetMask(1);
    roi.SetImage(&ownSurface);
    roi.ShowOn(&otherSurface, true);
    EXPECT_EQ(roi.Image, &ownSurface);
    EXPECT_EQ(other.Picture().Width(), 2);
    EXPECT_EQ(other.Picture().Pixel(1, 1), 0xffffffu);
}

} // namespace
} // namespace varnolux
