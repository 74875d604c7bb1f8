#include "shell/TOptionsFiles.h"

#include "base/Files.h"
#include "base/Messages.h"
#include "base/Paths.h"
#include "settings/SettingsAccess.h"
#include "shell/TLanguageReporter.h"
#include "shell/TQuestions.h"
#include "shell/TStatusBar.h"

#include <filesystem>
#include <unistd.h>

#include <QAction>
#include <QFileDialog>
#include <QWidget>

namespace varnolux {

namespace {

/// Why options cannot be saved to the file, after creating it when it is missing; the
/// empty text when they can.
std::string OptionsFileProblem(const std::string& fileName)
{
    if (!CreateFileIfMissing(fileName).empty())
        return CurrentReporter().LanguageMessageText("LFileNotCreated");
    if (IsReadOnlyFile(fileName) || ::access(fileName.c_str(), W_OK) != 0)
        return CurrentReporter().LanguageMessageText("LFileReadOnly");
    return {};
}

/// The file the user chose in the dialog; empty when the dialog was cancelled.
std::string ChosenFile(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst().toStdString();
}

} // namespace

TOptionsFiles::TOptionsFiles(const TProgramFiles& files, TOptionsHolder& holder,
                             const TParts& parts, QObject* parent)
    : QObject(parent)
    , files_(files)
    , holder_(holder)
    , parts_(parts)
    , defaultFile_(files.DefaultOptionsFile)
    , file_(files.DefaultOptionsFile)
{
    parts_.Save->setEnabled(false);
}

std::string TOptionsFiles::ShownName() const
{
    return file_ == defaultFile_ ? DefaultOptionsText : FileNamePart(file_);
}

void TOptionsFiles::ShowFileName(const std::string& fileName)
{
    parts_.StatusBar->SetPanelText(
        StatusPanel, QString::fromStdString(fileName == defaultFile_ ? DefaultOptionsText
                                                                     : FileNamePart(fileName)));
}

void TOptionsFiles::MarkChanged()
{
    changed_ = true;
    parts_.Save->setEnabled(file_ != defaultFile_);
    parts_.SaveAs->setEnabled(true);
    parts_.StatusBar->SetPanelText(StatusPanel, "* " + QString::fromStdString(ShownName()));
}

void TOptionsFiles::MarkSaved()
{
    changed_ = false;
    parts_.Save->setEnabled(false);
}

bool TOptionsFiles::Save(const std::string& fileName)
{
    const std::string resolved = ResolveConfigFileName(fileName);
    // Options written over these would spoil the program's settings or texts.
    if (resolved == files_.SettingsFile || resolved == files_.LanguageFile) {
        CurrentReporter().ShowLanguageMessage("SettingsReservedFileName", {fileName});
        return false;
    }
    std::string problem = OptionsFileProblem(resolved);
    if (problem.empty()) {
        try {
            holder_.CurrentOptions().Save(resolved);
        } catch (const TSettingsError& error) {
            problem = error.what();
        }
    }
    if (!problem.empty()) {
        CurrentReporter().ShowLanguageMessage("LOptSaveErrorFileNotExist", {fileName, problem});
        return false;
    }
    MarkSaved();
    ShowFileName(fileName);
    ConfirmSaved(*parts_.StatusBar, "LOptionsSaved", {resolved});
    return true;
}

bool TOptionsFiles::Load(const std::string& fileName)
{
    const std::string resolved = ResolveConfigFileName(fileName);
    std::error_code error;
    if (std::filesystem::exists(resolved, error)) {
        const std::string problem = CheckOptionsFile(resolved);
        if (!problem.empty()) {
            CurrentReporter().ShowMessage(
                FormatMessage(CurrentReporter().LanguageMessageText("InvalidOptionFile"),
                              {fileName}) +
                "\n" + problem);
            return false;
        }
    }
    Take(TOptions::Load(resolved), fileName);
    return true;
}

void TOptionsFiles::Take(const TOptions& options, const std::string& fileName)
{
    holder_.ApplyOptions(options);
    ShowFileName(fileName);
    MarkSaved();
}

void TOptionsFiles::LoadStored()
{
    if (HoldsOptions(file_))
        Load(file_);
}

bool TOptionsFiles::HoldsOptions(const std::string& fileName)
{
    // The window position alone, written at closing, is no set of options.
    constexpr const char* absent = "\x01";
    return ReadConfigString(fileName, "FormMain", RangeTextKeys[0], absent) != absent;
}

bool TOptionsFiles::SaveChangesOnRequest()
{
    if (!changed_)
        return true;
    switch (
        CurrentQuestions().AskYesNoCancel(CurrentReporter().LanguageMessageText("DSaveOptions"))) {
    case TQuestions::TAnswer::Yes:
        // The default options are saved there only on request, by their own command.
        return file_ == defaultFile_ ? SaveUnderChosenName() : Save(file_);
    case TQuestions::TAnswer::No:
        return true;
    case TQuestions::TAnswer::Cancel:
        break;
    }
    return false;
}

void TOptionsFiles::LoadChosen()
{
    const std::string fileName = ChosenFile(*parts_.OpenDialog);
    if (fileName.empty() || !Load(fileName))
        return;
    file_ = fileName;
    Q_EMIT OptionsLoaded();
}

void TOptionsFiles::SaveToCurrent()
{
    Save(file_);
}

bool TOptionsFiles::SaveUnderChosenName()
{
    const std::string fileName = ChosenFile(*parts_.SaveDialog);
    if (fileName.empty() || !Save(fileName))
        return false;
    file_ = fileName;
    return true;
}

void TOptionsFiles::LoadDefault()
{
    if (HoldsOptions(defaultFile_)) {
        if (!Load(defaultFile_))
            return;
    } else {
        // Nothing stored would read as six invalid range texts: the built-in options
        // are the defaults then.
        CurrentReporter().ShowLanguageMessage("LNoDefaultOptionFile", {defaultFile_});
        Take(TOptions::Initial(), defaultFile_);
    }
    file_ = defaultFile_;
    Q_EMIT OptionsLoaded();
}

void TOptionsFiles::SaveAsDefault()
{
    if (Save(defaultFile_))
        file_ = defaultFile_;
}

void TOptionsFiles::RestoreFormPosition(QWidget& window) const
{
    if (!FileExists(file_))
        return;
    const std::string section = window.objectName().toStdString();
    const auto read = [&](const char* key, int current) {
        return ReadConfigInteger(file_, section, section + key, current);
    };
    const int left = read("Left", window.x());
    const int top = read("Top", window.y());
    const int width = read("Width", window.width());
    const int height = read("Height", window.height());
    window.move(left, top);
    window.resize(width, height);
}

void TOptionsFiles::SaveFormPosition(const QWidget& window) const
{
    const std::string section = window.objectName().toStdString();
    try {
        CreateFileIfMissing(file_);
        WriteConfigInteger(file_, section, section + "Left", window.x());
        WriteConfigInteger(file_, section, section + "Top", window.y());
        WriteConfigInteger(file_, section, section + "Width", window.width());
        WriteConfigInteger(file_, section, section + "Height", window.height());
    } catch (const TSettingsError&) {
        // A window position that cannot be kept is no reason to keep the user waiting.
    }
}

} // namespace varnolux
