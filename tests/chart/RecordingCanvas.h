#pragma once

#include "chart/Tsp_Canvas.h"

#include <algorithm>
#include <string>
#include <vector>

namespace varnolux::test {

/// A canvas that remembers what is drawn on it, with fixed text metrics: every
/// character is CharWidth wide and every text TextHeightPixels high.
class RecordingCanvas : public Tsp_Canvas {
public:
    struct LineCall {
        Tsp_Point From;
        Tsp_Point To;
        Tsp_Pen Pen;
    };
    struct TextCall {
        int X;
        int Y;
        std::string Text;
        Tsp_Font Font;
    };
    struct ShapeCall {
        Tsp_Rect Rect;
        Tsp_Pen Pen;
        Tsp_Brush Brush;
    };

    int CharWidth = 6;
    int TextHeightPixels = 13;

    std::vector<LineCall> Lines;
    std::vector<TextCall> Texts;
    std::vector<ShapeCall> Fills;
    std::vector<ShapeCall> Rectangles;
    std::vector<ShapeCall> Ellipses;
    std::vector<std::vector<Tsp_Point>> Polygons;
    std::vector<Tsp_Rect> Pictures;

    void Line(Tsp_Point from, Tsp_Point to) override { Lines.push_back({from, to, Pen()}); }
    void Rectangle(const Tsp_Rect& rect) override { Rectangles.push_back({rect, Pen(), Brush()}); }
    void Ellipse(const Tsp_Rect& box) override { Ellipses.push_back({box, Pen(), Brush()}); }
    void Polygon(std::span<const Tsp_Point> corners) override
    {
        Polygons.emplace_back(corners.begin(), corners.end());
    }
    void FillRect(const Tsp_Rect& rect) override { Fills.push_back({rect, Pen(), Brush()}); }
    void TextOut(int x, int y, std::string_view text) override
    {
        Texts.push_back({x, y, std::string(text), Font()});
    }
    int TextWidth(std::string_view text) override
    {
        const auto characters = std::count_if(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        });
        return static_cast<int>(characters) * CharWidth;
    }
    int TextHeight(std::string_view) override { return TextHeightPixels; }
    void DrawPicture(const Tsp_Rect& target, const Tsp_Picture&) override
    {
        Pictures.push_back(target);
    }
    std::optional<Tsp_Rect> ClipRect() const override { return clip_; }
    void SetClipRect(std::optional<Tsp_Rect> clip) override { clip_ = clip; }

    std::vector<std::string> TextsDrawn() const
    {
        std::vector<std::string> texts;
        for (const TextCall& t : Texts)
            texts.push_back(t.Text);
        return texts;
    }

private:
    std::optional<Tsp_Rect> clip_;
};

} // namespace varnolux::test
