#pragma once

#include "imaging/TQListTemplate.h"
#include "imaging/TQPoint.h"

#include <string>

namespace varnolux {

/// A list of points with the colour given to new points.
class TQListPoint : public TQListTemplate<TQPoint> {
public:
    /// Writes "i\tx\ty\n", then one line per point with its index, X and Y.
    virtual void SaveToTextFile(const std::string& fileName) const;

    /// Sets the colour of every point and of the list.
    void SetColour(TColour colour);
    /// Appends a point in the list's colour.
    void AddPoint(int x, int y, int originX, int originY);

    TColour Colour = 0xff0000;
};

} // namespace varnolux
