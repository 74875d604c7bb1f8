#pragma once

#include <array>
#include <string>

namespace varnolux {

/// One of the six colour-range values: its track bar, its edit, and the message label
/// whose text names the field in messages about it.
struct TRangeControl {
    const char* TrackBar;
    const char* Edit;
    const char* FieldLabel;
    int Initial;
};

/// The six range values in their fixed processing order.
enum TRangeIndex { HMin, HMax, SMin, SMax, VMin, VMax };
inline constexpr std::array<TRangeControl, 6> RangeControls = {{
    {"TrackBarHMin", "LabeledEditHMin", "LabelFieldHMin", 0},
    {"TrackBarHMax", "LabeledEditHMax", "LabelFieldHMax", 255},
    {"TrackBarSMin", "LabeledEditSMin", "LabelFieldSMin", 0},
    {"TrackBarSMax", "LabeledEditSMax", "LabelFieldSMax", 255},
    {"TrackBarVMin", "LabeledEditVMin", "LabelFieldVMin", 0},
    {"TrackBarVMax", "LabeledEditVMax", "LabelFieldVMax", 255},
}};

/// Track-bar positions 0..255 in the order of RangeControls.
using TTrackBarPositions = std::array<int, 6>;
inline constexpr TTrackBarPositions InitialTrackBarPositions = {0, 255, 0, 255, 0, 255};

/// A track bar keeps its position inside 0..255.
constexpr int ClampTrackBarPosition(int position)
{
    return position < 0 ? 0 : position > 255 ? 255 : position;
}

/// The edit-to-track-bar rule: a text that is a whole decimal number moves the bar
/// (clamped to 0..255) and gives true; any other text leaves the bar and gives false.
bool ApplyEditToTrackBar(const std::string& text, int& position);

/// Whether a channel value passes the limits of a Min and a Max track bar: inside
/// lo..hi when hi > lo, else at or above lo or at or below hi (a range that wraps
/// through 0; equal limits pass everything).
constexpr bool InChannelRange(int value, int lo, int hi)
{
    return hi > lo ? lo <= value && value <= hi : value >= lo || value <= hi;
}

} // namespace varnolux
