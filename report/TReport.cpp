#include "report/TReport.h"

#include "base/Paths.h"
#include "report/ReportTemplate.h"
#include "settings/ProgramInfo.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace varnolux {

namespace {

// The report is laid out on a page of this many dots per inch and then scaled to the
// device, so that it looks the same on every printer, screen and PDF file.
constexpr int LayoutDotsPerInch = 96;
constexpr double MillimetresPerInch = 25.4;
constexpr double PdfMarginMillimetres = 15.0;

/// A paint device of the layout's resolution for the document to measure fonts on.
QImage LayoutDevice()
{
    QImage device(1, 1, QImage::Format_RGB32);
    const int dotsPerMetre = qRound(LayoutDotsPerInch * 1000.0 / MillimetresPerInch);
    device.setDotsPerMeterX(dotsPerMetre);
    device.setDotsPerMeterY(dotsPerMetre);
    return device;
}

} // namespace

QImage ReportPicture(const QImage& picture)
{
    if (picture.width() <= ReportPictureSide && picture.height() <= ReportPictureSide)
        return picture.copy();
    return picture.scaled(ReportPictureSide, ReportPictureSide, Qt::KeepAspectRatio,
                          Qt::SmoothTransformation);
}

QImage ReportPicture(const TBitmap24& picture)
{
    if (picture.IsEmpty())
        return {};
    return ReportPicture(QImage(picture.Bits(), picture.Width(), picture.Height(),
                                qsizetype(picture.Stride()), QImage::Format_BGR888));
}

bool PaintReport(const QString& templateHtml, const TReportData& data, QPagedPaintDevice& device)
{
    QImage layoutDevice = LayoutDevice();
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&layoutDevice);
    document.setDocumentMargin(0);
    // Without ligatures: a report's text is searched and copied, and "fi" drawn as one
    // glyph reads back as "ﬁ".
    QFont font = document.defaultFont();
    font.setStyleStrategy(QFont::PreferNoShaping);
    document.setDefaultFont(font);
    AddReportPictures(document, data);
    document.setHtml(FillReportTemplate(templateHtml, data));

    const int resolution = device.logicalDpiX();
    const double toDevice = double(resolution) / LayoutDotsPerInch;
    const QSizeF page = device.pageLayout().paintRectPixels(resolution).size() / toDevice;
    document.setTextWidth(page.width());
    const double height = document.size().height();
    const double fit = height > page.height() ? page.height() / height : 1.0;

    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(toDevice * fit, toDevice * fit);
    document.drawContents(&painter);
    return painter.end();
}

bool WriteReportPdf(const QString& templateHtml, const TReportData& data,
                    const std::string& fileName, std::string* why)
{
    QSaveFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::WriteOnly)) {
        if (why)
            *why = file.errorString().toStdString();
        return false;
    }
    bool painted = false;
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(PdfMarginMillimetres, PdfMarginMillimetres,
                                        PdfMarginMillimetres, PdfMarginMillimetres),
                              QPageLayout::Millimeter);
        writer.setTitle(QString::fromStdString(FileNamePart(data.ImageFile)));
        writer.setCreator(
            QString::fromStdString(VerInfo().GetVerInfo(7) + " " + ProgramVersionText()));
        painted = PaintReport(templateHtml, data, writer);
    }
    if (painted && file.commit())
        return true;
    if (why)
        *why = painted ? file.errorString().toStdString() : "the report could not be painted";
    return false;
}

} // namespace varnolux
