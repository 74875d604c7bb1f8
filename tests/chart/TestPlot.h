#pragma once

#include "RecordingCanvas.h"
#include "chart/Tsp_CustomXYPlot.h"

namespace varnolux::test {

/// A plot without a window that counts its repaint requests.
class TestPlot : public Tsp_CustomXYPlot {
public:
    int RepaintRequests = 0;
    int ImmediateRepaints = 0;

    void RepaintNow() override { ++ImmediateRepaints; }

    /// Paints at 180 × 120 on a recording canvas.
    RecordingCanvas Paint(bool onlyInvalid = false)
    {
        RecordingCanvas canvas;
        PaintLayers(canvas, 180, 120, onlyInvalid);
        return canvas;
    }

protected:
    void RequestRepaint() override { ++RepaintRequests; }
};

} // namespace varnolux::test
