#include "imaging/TQListPoint.h"

#include "imaging/TQError.h"
#include "imaging/TReplacingFile.h"

#include <cstdio>

namespace varnolux {

void TQListPoint::SaveToTextFile(const std::string& fileName) const
{
    try {
        TReplacingFile file(fileName);
        const std::string header = "i\tx\ty\n";
        file.Write(header.data(), header.size());
        char line[48];
        for (int i = 0; i < Count(); ++i) {
            const TQPoint& point = Get(i);
            const int length =
                std::snprintf(line, sizeof line, "%d\t%d\t%d\n", i, point.X, point.Y);
            file.Write(line, std::size_t(length));
        }
        file.Commit();
    } catch (const TImageFileError& error) {
        throw TQError(std::string("Internal error: SaveToTextFile - ") + error.what());
    }
}

void TQListPoint::SetColour(TColour colour)
{
    Colour = colour;
    for (auto& point : items_)
        point->Colour = colour;
}

void TQListPoint::AddPoint(int x, int y, int originX, int originY)
{
    auto point = std::make_unique<TQPoint>(x, y, originX, originY);
    point->Colour = Colour;
    Add(std::move(point));
}

} // namespace varnolux
