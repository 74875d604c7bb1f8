#pragma once

#include "analysis/TResultVerifier.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace varnolux {

class TValueListEditor;
class TVerdictTableModel;

/// Verifies a result file and shows a row per value line, the lines with findings
/// highlighted, and the summary. The verification runs on a thread of its own, so the
/// window and the program stay usable; it can be stopped, and closing the window
/// stops it. Its texts, the findings' included, come from the language file.
class TFormVerify : public QDialog {
    Q_OBJECT

public:
    explicit TFormVerify(QWidget* parent = nullptr);
    ~TFormVerify() override;

    /// Starts verifying the result file; the options are those in force, used when
    /// CheckBoxOptions is ticked, optionsName names them in the findings. Does nothing
    /// while a verification runs.
    void Verify(const std::string& resultFile, const TOptions& options,
                const std::string& optionsName);
    /// Stops the verification after the lines in work.
    void Stop();
    bool Running() const { return running_; }

    /// The text of an entry of ValueListEditorTexts.
    QString Text(const char* name) const;

Q_SIGNALS:
    /// A verification has ended: all lines done, stopped, or the file unreadable.
    void VerificationFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* LabelResultFile;
    QLineEdit* EditResultFile;
    QCheckBox* CheckBoxOptions;
    QCheckBox* CheckBoxReanalyse;
    QPushButton* ButtonVerify;
    QPushButton* ButtonStop;
    QTableView* TableLines;
    QProgressBar* ProgressBarVerify;
    QLabel* LabelSummary;
    QPushButton* BitBtnClose;
    /// The texts of the findings, columns and summary (hidden).
    TValueListEditor* ValueListEditorTexts;

    void Start();
    void AddVerdicts(std::vector<TLineVerdict> verdicts, double progress);
    void Finish(const TVerifySummary& summary, const std::string& error);
    void ShowRunning(bool running);
    QString SummaryText(const TVerifySummary& summary) const;

    std::string resultFile_;
    TOptions options_;
    std::string optionsName_;
    TVerdictTableModel* model_;
    std::shared_ptr<std::atomic<bool>> stop_;
    bool running_ = false;
    // Last: it is joined before the rest goes.
    std::jthread worker_;
};

} // namespace varnolux
