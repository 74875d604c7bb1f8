#include "chart/Tsp_QtCanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>

namespace varnolux {

namespace {

QColor ToQColor(Tsp_Color c)
{
    return QColor(c & 0xff, c >> 8 & 0xff, c >> 16 & 0xff);
}

Qt::PenStyle ToQtStyle(Tsp_PenStyle style)
{
    switch (style) {
    case Tsp_PenStyle::psSolid:
        return Qt::SolidLine;
    case Tsp_PenStyle::psDash:
        return Qt::DashLine;
    case Tsp_PenStyle::psDot:
        return Qt::DotLine;
    case Tsp_PenStyle::psDashDot:
        return Qt::DashDotLine;
    case Tsp_PenStyle::psDashDotDot:
        return Qt::DashDotDotLine;
    case Tsp_PenStyle::psClear:
        return Qt::NoPen;
    }
    return Qt::SolidLine;
}

QPainter::CompositionMode ToComposition(Tsp_PenMode mode)
{
    return mode == Tsp_PenMode::pmNotXor ? QPainter::RasterOp_NotSourceXorDestination
                                         : QPainter::CompositionMode_SourceOver;
}

QRect ToQRect(const Tsp_Rect& r)
{
    return QRect(r.Left, r.Top, std::max(r.Width(), 0), std::max(r.Height(), 0));
}

/// The rectangle whose one-pixel outline covers r's border pixels.
QRect OutlineRect(const Tsp_Rect& r)
{
    return QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
}

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

} // namespace

Tsp_QtCanvas::Tsp_QtCanvas(QPainter& painter, const QFont& baseFont)
    : painter_(painter)
    , baseFont_(baseFont)
{
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

void Tsp_QtCanvas::UsePenAndBrush()
{
    const Tsp_Pen& pen = Pen();
    QPen qpen(ToQColor(pen.Color), pen.Width <= 1 ? 1 : pen.Width, ToQtStyle(pen.Style));
    if (pen.Width > 1) {
        qpen.setCapStyle(Qt::RoundCap);
        qpen.setJoinStyle(Qt::RoundJoin);
    }
    painter_.setPen(qpen);
    const Tsp_Brush& brush = Brush();
    painter_.setBrush(brush.Style == Tsp_BrushStyle::bsClear ? QBrush(Qt::NoBrush)
                                                             : QBrush(ToQColor(brush.Color)));
    painter_.setCompositionMode(ToComposition(pen.Mode));
}

void Tsp_QtCanvas::Line(Tsp_Point from, Tsp_Point to)
{
    if (from == to)
        return;
    UsePenAndBrush();
    Tsp_Point last = to;
    // Qt draws both end points; straight one-pixel lines can leave the last out exactly.
    if (Pen().Width <= 1 && (from.X == to.X || from.Y == to.Y)) {
        last.X -= Sign(to.X - from.X);
        last.Y -= Sign(to.Y - from.Y);
    }
    painter_.drawLine(from.X, from.Y, last.X, last.Y);
}

void Tsp_QtCanvas::Rectangle(const Tsp_Rect& rect)
{
    if (rect.IsEmpty())
        return;
    UsePenAndBrush();
    if (Pen().Style == Tsp_PenStyle::psClear) {
        if (Brush().Style != Tsp_BrushStyle::bsClear)
            painter_.fillRect(ToQRect(rect), ToQColor(Brush().Color));
        return;
    }
    painter_.drawRect(OutlineRect(rect));
}

void Tsp_QtCanvas::Ellipse(const Tsp_Rect& box)
{
    if (box.IsEmpty())
        return;
    UsePenAndBrush();
    painter_.drawEllipse(OutlineRect(box));
}

void Tsp_QtCanvas::Polygon(std::span<const Tsp_Point> corners)
{
    QPolygon polygon;
    for (const Tsp_Point& p : corners)
        polygon << QPoint(p.X, p.Y);
    UsePenAndBrush();
    painter_.drawPolygon(polygon);
}

void Tsp_QtCanvas::FillRect(const Tsp_Rect& rect)
{
    if (rect.IsEmpty())
        return;
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.fillRect(ToQRect(rect), ToQColor(Brush().Color));
}

QFont Tsp_QtCanvas::CurrentFont() const
{
    const Tsp_Font& font = Font();
    QFont qfont = baseFont_;
    if (!font.Family.empty())
        qfont.setFamily(QString::fromStdString(font.Family));
    qfont.setPixelSize(std::max(1, std::abs(font.Height)));
    qfont.setBold(font.Bold);
    return qfont;
}

void Tsp_QtCanvas::TextOut(int x, int y, std::string_view text)
{
    const QFont font = CurrentFont();
    painter_.setFont(font);
    painter_.setPen(ToQColor(Font().Color));
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const int ascent = QFontMetrics(font).ascent();
    if (Font().Orientation == 0) {
        painter_.drawText(x, y + ascent, qtext);
        return;
    }
    painter_.save();
    painter_.translate(x, y);
    painter_.rotate(-Font().Orientation / 10.0);
    painter_.drawText(0, ascent, qtext);
    painter_.restore();
}

int Tsp_QtCanvas::TextWidth(std::string_view text)
{
    return QFontMetrics(CurrentFont())
        .horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

int Tsp_QtCanvas::TextHeight(std::string_view /*text*/)
{
    return QFontMetrics(CurrentFont()).height();
}

void Tsp_QtCanvas::DrawPicture(const Tsp_Rect& target, const Tsp_Picture& picture)
{
    if (picture.IsEmpty() || target.IsEmpty() ||
        picture.Pixels.size() < static_cast<std::size_t>(picture.Width) * picture.Height)
        return;
    const QImage image(reinterpret_cast<const uchar*>(picture.Pixels.data()), picture.Width,
                       picture.Height, picture.Width * 4, QImage::Format_ARGB32);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.drawImage(ToQRect(target), image);
}

void Tsp_QtCanvas::SetClipRect(std::optional<Tsp_Rect> clip)
{
    clip_ = clip;
    if (clip_)
        painter_.setClipRect(ToQRect(*clip_));
    else
        painter_.setClipping(false);
}

} // namespace varnolux
