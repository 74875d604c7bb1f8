#pragma once

#include "settings/TOptions.h"
#include "shell/TProgramFiles.h"

#include <string>

#include <QObject>

class QAction;
class QFileDialog;
class QWidget;

namespace varnolux {

class TStatusBar;

/// The windows that hold the options: they hand them over as one value and take one
/// back.
class TOptionsHolder {
public:
    virtual ~TOptionsHolder() = default;
    /// The options as the windows hold them now.
    virtual TOptions CurrentOptions() const = 0;
    /// Puts the options into the windows.
    virtual void ApplyOptions(const TOptions& options) = 0;
};

/// The options files: which one is current, whether the options changed since it was
/// read or written, loading and saving them (the Options menu), the question about
/// unsaved changes, and the window position kept in the current file. The status bar
/// names the current file; Save options is on only while there are changes to save
/// into a file that is not the default one.
class TOptionsFiles : public QObject {
    Q_OBJECT

public:
    /// What the options files are shown and chosen with.
    struct TParts {
        TStatusBar* StatusBar = nullptr;
        QFileDialog* OpenDialog = nullptr;
        QFileDialog* SaveDialog = nullptr;
        QAction* Save = nullptr;
        QAction* SaveAs = nullptr;
    };

    /// The status bar panel that names the options file.
    static constexpr int StatusPanel = 4;
    static constexpr const char* DefaultOptionsText = "- DEFAULT OPTIONS -";

    TOptionsFiles(const TProgramFiles& files, TOptionsHolder& holder, const TParts& parts,
                  QObject* parent = nullptr);

    const std::string& DefaultFile() const { return defaultFile_; }
    /// The current options file: where Save options writes and the window position goes.
    const std::string& File() const { return file_; }
    /// Makes the file the current one as it is, neither read nor written.
    void SetFile(const std::string& fileName) { file_ = fileName; }
    /// Whether the options changed since the current file was read or written.
    bool Changed() const { return changed_; }
    /// The current file as the status bar names it.
    std::string ShownName() const;

    /// Writes the windows' options to the file, creating it when missing. A save that
    /// cannot write is reported; one that does is confirmed in the status bar.
    bool Save(const std::string& fileName);
    /// Reads an options file into the windows; a file that cannot be read as an
    /// options file is reported and left alone.
    bool Load(const std::string& fileName);
    /// The options stored in the current file, when it holds some (the start-up step).
    void LoadStored();
    /// Whether the file holds options, not just a window position.
    static bool HoldsOptions(const std::string& fileName);
    /// The options count as changed: marked in the status bar, Save options follows.
    void MarkChanged();
    /// Asks whether changed options are to be saved (before closing); false when the
    /// user cancels or the save fails.
    bool SaveChangesOnRequest();

    // The Options menu.
    /// Load options: a file the user chooses becomes the current one.
    void LoadChosen();
    /// Save options: into the current file.
    void SaveToCurrent();
    /// Save options as: under a name the user chooses, which becomes the current file;
    /// false when the user cancels or the save fails.
    bool SaveUnderChosenName();
    /// Load default options: the default file, or the built-in options when it holds
    /// none.
    void LoadDefault();
    /// Save options as default.
    void SaveAsDefault();

    /// The window's position and size as the current file keeps them, when it exists.
    void RestoreFormPosition(QWidget& window) const;
    /// Keeps the window's position and size in the current file; a failure is ignored.
    void SaveFormPosition(const QWidget& window) const;

Q_SIGNALS:
    /// The user loaded options (a file or the defaults): the windows hold them now.
    void OptionsLoaded();

private:
    /// The options become the windows' and the file the current one, unchanged.
    void Take(const TOptions& options, const std::string& fileName);
    void ShowFileName(const std::string& fileName);
    void MarkSaved();

    TProgramFiles files_;
    TOptionsHolder& holder_;
    TParts parts_;
    std::string defaultFile_;
    std::string file_;
    bool changed_ = false;
};

} // namespace varnolux
