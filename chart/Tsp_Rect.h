#pragma once

#include "chart/Tsp_Point.h"

namespace varnolux {

/// A pixel rectangle; Right and Bottom lie just outside it.
struct Tsp_Rect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(Tsp_Point p) const
    {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    bool Intersects(const Tsp_Rect& other) const
    {
        return Left < other.Right && other.Left < Right && Top < other.Bottom && other.Top < Bottom;
    }

    /// The common part; empty (Right ≤ Left or Bottom ≤ Top) when there is none.
    Tsp_Rect Intersected(const Tsp_Rect& other) const
    {
        return {Left > other.Left ? Left : other.Left, Top > other.Top ? Top : other.Top,
                Right < other.Right ? Right : other.Right,
                Bottom < other.Bottom ? Bottom : other.Bottom};
    }

    friend bool operator==(const Tsp_Rect&, const Tsp_Rect&) = default;
};

} // namespace varnolux
