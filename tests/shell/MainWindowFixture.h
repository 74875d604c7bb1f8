#pragma once

#include "imaging/BmpFile.h"
#include "shell/TAnalysisActions.h"
#include "shell/TCallerStart.h"
#include "shell/TColourRangeController.h"
#include "shell/TFormMain.h"
#include "shell/TFormOptions.h"
#include "shell/TProgramControl.h"
#include "shell/TProgramWindows.h"
#include "shell/TResultActions.h"
#include "shell/TStatusBar.h"
#include "support/Parts.h"
#include "support/Pictures.h"
#include "support/RecordingQuestions.h"
#include "support/RecordingReporter.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace varnolux::test {

/// The options a window holds, its part of an options value.
template <typename Window>
TOptions OptionsOf(const Window& window)
{
    TOptions options;
    window.WriteTo(options);
    return options;
}

/// Changes the options a window holds, as another window that edits them does.
template <typename Window>
void ChangeOptions(Window& window, const std::function<void(TOptions&)>& change)
{
    TOptions options = OptionsOf(window);
    change(options);
    window.ReadFrom(options);
}

/// Waits until the main window's opens and analyses have ended; false when they have
/// not within 20 s. One piece of work may follow another (an open, then its analysis),
/// so the end of one is not enough.
inline bool WaitIdle(TFormMain& main)
{
    return QTest::qWaitFor([&main] { return !main.Busy(); }, 20000);
}

/// A language file as shipped: "en" or "de".
inline std::string ShippedLanguageFile(const std::string& language)
{
    return std::string(VARNOLUX_LANGUAGE_FOLDER) + "/VXLang-" + language + ".ini";
}

/// The program's windows with their files in a temporary folder, the messages
/// recorded instead of shown and the questions answered as the test chooses.
class MainWindowFixture {
public:
    /// languageFile is copied into the folder as the program's language file (none
    /// when empty); parameters are the program's command-line parameters.
    explicit MainWindowFixture(const std::string& languageFile = ShippedLanguageFile("en"),
                               std::vector<std::string> parameters = {})
        : windows(MakeWindows(languageFile, std::move(parameters)))
    {
    }

    std::string Folder() const { return folder.Path().string() + "/"; }

    TFormMain& Main() { return *windows->FormMain; }
    TFormOptions& Options() { return *windows->FormOptions; }

    /// Waits until no open or analysis runs.
    bool WaitIdle() { return test::WaitIdle(Main()); }

    /// Opens the image as File → Open does and waits for its analysis.
    void Open(const std::string& fileName)
    {
        Main().OpenImage(fileName);
        WaitIdle();
    }

    /// Shows the main window and waits for its start-up step.
    bool Start()
    {
        QSignalSpy started(&Main(), &TFormMain::StartupFinished);
        Main().show();
        return started.count() > 0 || started.wait(5000);
    }

    template <typename T>
    T* Find(const char* name)
    {
        return Main().findChild<T*>(name);
    }

    QSlider& Bar(int index)
    {
        return *Find<QSlider>(TColourRangeController::TrackBarNames[static_cast<size_t>(index)]);
    }
    QLineEdit& RangeEdit(int index)
    {
        return *Find<QLineEdit>(TColourRangeController::EditNames[static_cast<size_t>(index)]);
    }
    TColourRangeController& Range() { return Main().ColourRange(); }

    /// What a user sees and uses, found by name.
    QAction& Action(const char* name) { return *Find<QAction>(name); }
    QString Text(const char* lineEdit) { return Find<QLineEdit>(lineEdit)->text(); }
    TStatusBar& StatusBar() { return *Find<TStatusBar>("StatusBarMain"); }

    std::string WriteImage(const TBitmap24& bitmap, const std::string& name = "image.bmp")
    {
        const std::string fileName = folder.File(name);
        WriteBmpFile(bitmap, fileName);
        return fileName;
    }

    /// The objects picture, scaled up so that an analysis hands control back to the
    /// event loop many times.
    std::string WriteObjectsImage(int scale = 10)
    {
        const TBitmap24 small = Picture(ObjectRows);
        TBitmap24 large(small.Width() * scale, small.Height() * scale);
        for (int y = 0; y < large.Height(); ++y)
            for (int x = 0; x < large.Width(); ++x)
                large.SetPixel(x, y, small.Pixel(x / scale, y / scale));
        return WriteImage(large, "objects.bmp");
    }

    /// Opens the picture and analyses it as the open road does.
    bool OpenObjects(int scale = 10)
    {
        Open(WriteObjectsImage(scale));
        return Main().ShownResult().Items.Exists("SHAResult");
    }

    TempFolder folder;
    RecordingReporter reporter;
    RecordingQuestions questions;
    std::unique_ptr<TProgramWindows> windows;

private:
    std::unique_ptr<TProgramWindows> MakeWindows(const std::string& languageFile,
                                                 std::vector<std::string> parameters)
    {
        const TProgramFiles files = TProgramFiles::InFolder(Folder());
        if (!languageFile.empty())
            std::filesystem::copy_file(languageFile, files.LanguageFile);
        return std::make_unique<TProgramWindows>(files, std::move(parameters));
    }
};

/// Runs the action once a modal window of the type is on screen, from inside its
/// event loop.
template <typename Window>
void WhenModal(std::function<void(Window&)> action)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (!window)
            return;
        poll->stop();
        poll->deleteLater();
        action(*window);
    });
    poll->start();
}

/// A mouse event at a point of the widget's parent.
inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint parentPoint,
                      Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    QWidget& parent = *widget.parentWidget();
    const QPoint local = widget.mapFrom(&parent, parentPoint);
    const QPoint global = parent.mapToGlobal(parentPoint);
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, global, button, held, keys);
    QCoreApplication::sendEvent(&widget, &event);
}

/// Runs the action once, from the event loop, while the next analysis runs: it comes
/// before the analysis's outcome.
inline void DuringNextAnalysis(TFormMain& main, std::function<void()> action)
{
    QObject::connect(&main, &TFormMain::AnalysisStarted, &main, std::move(action),
                     Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
}

/// Drags a 10 × 10 hue handle by its middle so that its top-left corner goes to the
/// point of its parent, then releases it there.
inline void DragHandleTo(QWidget& handle, QPoint topLeft)
{
    const QPoint grip(4, 4);
    SendMouse(handle, QEvent::MouseButtonPress, handle.pos() + grip);
    SendMouse(handle, QEvent::MouseMove, topLeft + grip);
    SendMouse(handle, QEvent::MouseButtonRelease, topLeft + grip);
}

/// Chooses the file (and the filter) in the next modal file dialog.
inline void AcceptNextFileDialog(const std::string& fileName, const QString& filter = {})
{
    WhenModal<QFileDialog>([fileName, filter](QFileDialog& dialog) {
        if (!filter.isEmpty())
            dialog.selectNameFilter(filter);
        // A file selected in an earlier use of the dialog would win over the typed name;
        // selectFile drops it (given without folder, it stays in the dialog's folder),
        // but leaves a focused name edit alone: so the name is typed as well.
        const QString name = QString::fromStdString(fileName);
        dialog.selectFile(QFileInfo(name).fileName());
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText(name);
        static_cast<QDialog&>(dialog).accept();
    });
}

inline void RejectNextFileDialog()
{
    WhenModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
}

/// Chooses the file in the file dialog that the action opens, and waits for the open
/// or analysis that it starts.
inline void TriggerWithFile(QAction& action, const std::string& fileName)
{
    AcceptNextFileDialog(fileName);
    action.trigger();
    if (auto* main = qobject_cast<TFormMain*>(action.parent()))
        WaitIdle(*main);
}

/// The fields of a result line, without its date and time.
inline std::vector<std::string> ResultFields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    constexpr size_t dateTime = 2;
    if (fields.size() > dateTime)
        fields[dateTime].clear();
    return fields;
}

/// The result line of the image analysed with the options file, as the batch command
/// makes it, without its date and time.
inline std::vector<std::string> ExpectedResultFields(const std::string& image,
                                                     const std::string& optionsFile)
{
    TAnalysis engine;
    TAnalysisSettings settings;
    ApplyOptions(settings, TOptions::Load(optionsFile));
    if (!engine.LoadImage(image).Loaded)
        return {};
    const TAnalysisResult result = engine.Run(settings);
    if (!result.Complete)
        return {};
    return ResultFields(result.Items.ValueLine());
}

/// The lines of a result file, without their CR LF ends.
inline std::vector<std::string> FileLines(const std::string& fileName)
{
    std::vector<std::string> lines;
    const std::string text = ReadFile(fileName);
    for (size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

} // namespace varnolux::test
