#include "tools/TColorBox.h"

#include <array>

#include <QIcon>
#include <QPixmap>

namespace varnolux {

namespace {

struct TNamedColour {
    TColour Colour;
    const char* Name;
};

constexpr std::array<TNamedColour, TColorBox::StandardColourCount> StandardColours = {{
    {MakeColour(0, 0, 0), "Black"},
    {MakeColour(128, 0, 0), "Maroon"},
    {MakeColour(0, 128, 0), "Green"},
    {MakeColour(128, 128, 0), "Olive"},
    {MakeColour(0, 0, 128), "Navy"},
    {MakeColour(128, 0, 128), "Purple"},
    {MakeColour(0, 128, 128), "Teal"},
    {MakeColour(128, 128, 128), "Gray"},
    {MakeColour(192, 192, 192), "Silver"},
    {MakeColour(255, 0, 0), "Red"},
    {MakeColour(0, 255, 0), "Lime"},
    {MakeColour(255, 255, 0), "Yellow"},
    {MakeColour(0, 0, 255), "Blue"},
    {MakeColour(255, 0, 255), "Fuchsia"},
    {MakeColour(0, 255, 255), "Aqua"},
    {MakeColour(255, 255, 255), "White"},
}};

QIcon Swatch(TColour colour)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
    return QIcon(pixmap);
}

} // namespace

TColorBox::TColorBox(QWidget* parent)
    : QComboBox(parent)
{
    for (const TNamedColour& standard : StandardColours)
        addItem(Swatch(standard.Colour), standard.Name, QVariant::fromValue(standard.Colour));
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            Q_EMIT ColourChanged(Colour());
    });
}

TColour TColorBox::Colour() const
{
    return currentData().value<TColour>();
}

void TColorBox::SetColour(TColour colour)
{
    const int standard = findData(QVariant::fromValue(colour));
    if (standard >= 0 && standard != customIndex_) {
        setCurrentIndex(standard);
        return;
    }
    // The colour written as #RRGGBB names itself in every language.
    const QString name =
        QString("#%1")
            .arg(RedOf(colour) << 16 | GreenOf(colour) << 8 | BlueOf(colour), 6, 16, QChar('0'))
            .toUpper();
    if (customIndex_ < 0) {
        addItem(Swatch(colour), name, QVariant::fromValue(colour));
        customIndex_ = count() - 1;
    } else {
        setItemIcon(customIndex_, Swatch(colour));
        setItemText(customIndex_, name);
        setItemData(customIndex_, QVariant::fromValue(colour));
    }
    if (currentIndex() == customIndex_)
        Q_EMIT ColourChanged(colour);
    else
        setCurrentIndex(customIndex_);
}

} // namespace varnolux
