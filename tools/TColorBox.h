#pragma once

#include "imaging/TColour.h"

#include <QComboBox>

namespace varnolux {

/// A colour box: the sixteen standard colours with their names. A colour that is none
/// of them is shown as one more entry, so that choosing nothing gives back exactly the
/// colour that was set.
class TColorBox : public QComboBox {
    Q_OBJECT

public:
    explicit TColorBox(QWidget* parent = nullptr);

    /// The colour chosen (0x00BBGGRR; a stored value with higher bits comes back as set).
    TColour Colour() const;
    /// Chooses the colour: its standard entry, else the one extra entry, made for it.
    void SetColour(TColour colour);

    static constexpr int StandardColourCount = 16;

Q_SIGNALS:
    void ColourChanged(varnolux::TColour colour);

private:
    int customIndex_ = -1;
};

} // namespace varnolux
