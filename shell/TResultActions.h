#pragma once

#include "shell/TProgramFiles.h"

#include <memory>
#include <string>

#include <QObject>

class QFileDialog;
class QPrinter;
class QTabWidget;
class QWidget;

namespace varnolux {

class TAnalysisController;
class TFormSHADlg;
class TFormVerify;
class TImageWidget;
class TOptionsFiles;
class TOptionsHolder;
class TPlasmaForm;
class TProgramControl;
class TRegionsPage;
class TStatusBar;
struct TReportData;

/// What the user does with the result shown: Save result (a line of the result file),
/// Save (the analysed image), Save regions and the Regions page that shows them, the
/// fingerprints, the verification of the result file, the printed report and its
/// template. It takes the result from the analysis controller and the options from
/// their holder; nothing runs while an open or an analysis does.
class TResultActions : public QObject {
    Q_OBJECT

public:
    /// The main window's parts it uses.
    struct TParts {
        QWidget* Window = nullptr; // modal windows are shown over it
        TImageWidget* Source = nullptr;
        TImageWidget* Analysed = nullptr;
        QFileDialog* SavePictureDialog = nullptr;
        QTabWidget* Pages = nullptr;
        TRegionsPage* RegionsPage = nullptr;
        TStatusBar* StatusBar = nullptr;
    };
    /// The program-wide windows it shows.
    struct TWindows {
        TFormSHADlg* FormSHADlg = nullptr;
        TFormVerify* FormVerify = nullptr;
        TPlasmaForm* PlasmaForm = nullptr;
    };

    static constexpr const char* JpegFilter = "JPEG (*.jpg)";

    TResultActions(TAnalysisController& analysis, const TProgramControl& programControl,
                   const TOptionsHolder& options, const TOptionsFiles& optionsFiles,
                   const TProgramFiles& files, const TParts& parts, const TWindows& windows,
                   QObject* parent = nullptr);
    ~TResultActions() override;

    // The actions.
    /// Save: the analysed picture under a name the user chooses; the chosen filter, not
    /// the name, decides between BMP and JPEG.
    void SaveImage();
    /// Save result: appends the result shown to the result file of the options, after
    /// asking whether a missing folder is to be made.
    void SaveResult();
    /// Save regions: appends the regions table to the regions file of the options,
    /// analysing again first when the result shown was analysed without the table.
    void SaveRegions();
    void VerifyResultFile();
    void ShowFingerprints();
    /// Print: the report of the result shown, on the printer the user chooses.
    void Print();
    void EditReportTemplate();

    /// Writes the analysed picture as BMP or JPEG; false after a message when it cannot.
    bool SaveAnalysedImage(const std::string& fileName, bool jpeg);

    // The Regions page.
    /// Whether the options name a regions file: Save regions is off without one.
    bool RegionFileNamed() const;
    /// The regions table costs an analysis of many regions time: it is measured while
    /// the Regions page shows or a regions file is named.
    bool RegionTableWanted() const;
    /// The Regions page follows the result shown (an analysis has ended).
    void ShowRegionTable();
    /// Analyses again for the table when the Regions page comes up without it.
    void MeasureRegionsWhenShown();

    // The report.
    /// What the report of the result shown holds.
    TReportData ReportData() const;
    /// The printer Print prints on, with the user's choices of the last print (printer,
    /// or the PDF file); made on first use.
    QPrinter& ReportPrinter();
    /// Prints the report of the result shown, from the template the program settings
    /// name; false after a message when the printer or file cannot be painted on.
    bool PrintReport(QPrinter& printer);

private:
    void SaveResultTo(const std::string& fileName);
    /// Whether the Regions page holds the table of the result shown.
    bool RegionTableShown() const;
    void SaveRegionTable();

    TAnalysisController& analysis_;
    const TProgramControl& programControl_;
    const TOptionsHolder& options_;
    const TOptionsFiles& optionsFiles_;
    TProgramFiles files_;
    TParts parts_;
    TWindows windows_;
    std::unique_ptr<QPrinter> printer_;
    /// Save regions waits for an analysis that measures the table.
    bool saveRegionsWhenMeasured_ = false;
};

} // namespace varnolux
