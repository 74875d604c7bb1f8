#include "imaging/TQEdge.h"

#include "imaging/TQROIL.h"

namespace varnolux {

void TQEdge::Extract(const TQROIL& roi)
{
    Clear();
    const int width = roi.Width();
    const int height = roi.Height();
    const TPlane<std::uint8_t>& mask = roi.Mask();
    // Neighbours outside the plane count as not set; a mask byte of 2 counts as set
    // but is never itself a point.
    const auto isSet = [&](int x, int y) {
        return x >= 0 && x < width && y >= 0 && y < height && mask[x][y] != 0;
    };
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) {
            if (mask[x][y] != 1)
                continue;
            const int setNeighbours =
                isSet(x, y - 1) + isSet(x, y + 1) + isSet(x + 1, y) + isSet(x - 1, y);
            if (setNeighbours < 4)
                AddPoint(x, y, roi.OriginX, roi.OriginY);
        }
}

} // namespace varnolux
