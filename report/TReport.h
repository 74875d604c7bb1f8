#pragma once

#include "analysis/TAnalysisSettings.h"
#include "imaging/TBitmap24.h"
#include "results/TResult.h"

#include <cstdint>
#include <map>
#include <string>

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

class QPagedPaintDevice;

namespace varnolux {

/// What one report shows: an analysis, the image file it was made of and its two
/// pictures.
struct TReportData {
    std::string ImageFile; // the path as opened
    std::uintmax_t ImageFileBytes = 0;
    int ImageWidth = 0;
    int ImageHeight = 0;
    /// The result table of the analysis: the 23 items.
    TResult Items;
    /// The settings the analysis ran with, corrections made.
    TAnalysisSettings Settings;
    /// The source with the outline of the analysis area, and the kept regions.
    QImage SourcePicture;
    QImage AnalysedPicture;
    QDateTime Made = QDateTime::currentDateTime();
    /// The report's words in the user's language, by name (ReportTextDefaults); the
    /// English ones where a name is missing.
    std::map<std::string, std::string> Texts;
};

/// The longest side of a picture in a report: sharp in print, small in a PDF file.
inline constexpr int ReportPictureSide = 1200;
/// The box a template's picture is fitted into unless it gives a size, in pixels of
/// 1/96 inch.
inline constexpr QSize ReportPictureBox(330, 250);

/// A copy of the picture for a report, scaled down to ReportPictureSide.
QImage ReportPicture(const QImage& picture);
QImage ReportPicture(const TBitmap24& picture);

/// Paints the report filled from the template on one page of the device, shrunk
/// when it is longer than the page. False when the device cannot be painted on (a
/// printer that cannot start, a file that cannot be opened).
bool PaintReport(const QString& templateHtml, const TReportData& data, QPagedPaintDevice& device);

/// Writes the report as a one-page A4 PDF file, whole or not at all. False, with the
/// reason in why, when it cannot.
bool WriteReportPdf(const QString& templateHtml, const TReportData& data,
                    const std::string& fileName, std::string* why = nullptr);

} // namespace varnolux
