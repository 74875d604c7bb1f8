#pragma once

#include "imaging/TQListPoint.h"

namespace varnolux {

class TQROIL;

/// The outline of a mask as a list of points.
class TQEdge : public TQListPoint {
public:
    /// Every pixel whose mask byte equals 1 and that has fewer than four non-zero
    /// 4-neighbours inside the plane becomes a point; columns in the outer loop.
    void Extract(const TQROIL& roi);
};

} // namespace varnolux
