#pragma once

namespace varnolux {

/// Directions in which the user may zoom or pan a plot.
enum class Tsp_zpDirections { zpdNone, zpdHorizontal, zpdVertical, zpdBoth };

enum class Tsp_BorderStyle {
    bs_None,
    bs_Raised,
    bs_Lowered,
    bs_Gutter,
    bs_BlackRect,
    bs_BoldRect,
    bs_FocusRect
};

/// The horizontal and vertical axis a series or marker uses.
enum class Tsp_WhatXAxis { dsxBottom, dsxTop };
enum class Tsp_WhatYAxis { dsyLeft, dsyRight };

/// Whether a marker is drawn before or after the series.
enum class Tsp_WhenDrawMarker { dmBeforeSeries, dmAfterSeries };

enum class Tsp_MouseButton { mbLeft, mbRight, mbMiddle };

/// Keys and mouse buttons held, as a bit set of Tsp_Shift values.
using Tsp_ShiftState = unsigned;

namespace Tsp_Shift {
inline constexpr Tsp_ShiftState ssShift = 1;
inline constexpr Tsp_ShiftState ssAlt = 2;
inline constexpr Tsp_ShiftState ssCtrl = 4;
inline constexpr Tsp_ShiftState ssLeft = 8;
inline constexpr Tsp_ShiftState ssRight = 16;
inline constexpr Tsp_ShiftState ssMiddle = 32;
} // namespace Tsp_Shift

/// What a mouse drag over the plot is doing.
enum class Tsp_MouseMode { Idle, ZoomPending, Zooming, PanPending, Panning };

} // namespace varnolux
