#include "app/ToolScreenshots.h"

#include "drawing/TMyCAD.h"
#include "drawing/TMyShape.h"
#include "shell/TFormMain.h"
#include "shell/TFormReportTemplate.h"
#include "shell/TImageWidget.h"
#include "shell/TProgramWindows.h"
#include "tools/Named.h"
#include "tools/Regionselectioncore.h"
#include "tools/TFormFullImage.h"
#include "tools/TFormMeasure.h"
#include "tools/TFormSelectionByMouse.h"
#include "tools/TMeasureDlgForm.h"
#include "tools/TPictureView.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

namespace varnolux {

namespace {

/// Runs the action once the condition holds, from inside whatever event loop runs then.
void When(std::function<bool()> condition, std::function<void()> action)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, condition, action] {
        if (!condition())
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start();
}

void SendMouse(QWidget& view, QEvent::Type type, QPoint position, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(position), QPointF(view.mapToGlobal(position)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

/// Presses the left button at the first point and moves it through the others.
void PressAndMove(QWidget& view, const std::vector<QPoint>& points)
{
    SendMouse(view, QEvent::MouseButtonPress, points.front(), Qt::LeftButton);
    for (const QPoint& point : points)
        SendMouse(view, QEvent::MouseMove, point, Qt::LeftButton);
}

void Release(QWidget& view, QPoint position)
{
    SendMouse(view, QEvent::MouseButtonRelease, position, Qt::NoButton);
}

/// The corners of a regular outline around a centre.
std::vector<QPoint> Outline(QPoint centre, int radius)
{
    std::vector<QPoint> corners;
    for (int i = 0; i <= 16; ++i) {
        const double angle = i * std::numbers::pi / 8;
        corners.emplace_back(centre.x() + int(std::lround(radius * std::cos(angle))),
                             centre.y() + int(std::lround(radius * std::sin(angle))));
    }
    return corners;
}

bool Save(QWidget& window, const std::string& output)
{
    if (window.grab().save(QString::fromStdString(output), "PNG"))
        return true;
    std::fprintf(stderr, "varnolux-screenshot: cannot write %s\n", output.c_str());
    return false;
}

/// The calibration after a line across the large red disc was given as 10 mm, with
/// that line drawn again.
bool PictureOfMeasure(TProgramWindows& windows, const std::string& output)
{
    TFormMeasure& window = *windows.FormMeasure;
    TMeasureDlgForm& dialog = *windows.MeasureDlgForm;
    bool saved = false;
    const QPoint from(62, 120);
    const QPoint to(158, 120);
    When([&] { return window.isVisible() && window.Armed(); },
         [&] {
             When([&] { return dialog.isVisible(); },
                  [&] {
                      NamedPart<QLineEdit>(dialog, "EditLaenge").setText("10");
                      dialog.SetUnitIndex(2); // mm
                      dialog.accept();
                  });
             QWidget& view = NamedPart<QWidget>(window, "ImageMess");
             PressAndMove(view, {from, to});
             Release(view, to);
             PressAndMove(view, {from, to});
             saved = Save(window, output);
             window.reject();
         });
    windows.FormMain->ActionByName("ActionMeasure")->trigger();
    return saved;
}

/// The colour selection with the two red discs at the top outlined.
bool PictureOfSelection(TProgramWindows& windows, const std::string& output)
{
    TFormSelectionByMouse& window = *windows.FormSelectionByMouse;
    bool saved = false;
    When([&] { return window.isVisible() && window.Loaded(); },
         [&] {
             QWidget& view = NamedPart<QWidget>(window, "ImageMess");
             for (const auto& outline : {Outline({110, 120}, 36), Outline({300, 90}, 22)}) {
                 PressAndMove(view, outline);
                 Release(view, outline.back());
             }
             saved = Save(window, output);
             window.reject();
         });
    windows.FormMain->ActionByName("ActionColorSelection")->trigger();
    return saved;
}

/// A viewer of the source image at 200 %, moved to the ring.
bool PictureOfViewer(TProgramWindows& windows, const std::string& output)
{
    TFormMain& main = *windows.FormMain;
    auto& image = *main.findChild<TImageWidget*>("ImageOriginal");
    SendMouse(image, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
    Release(image, {10, 10});
    auto* viewer = main.findChild<TFormFullImage*>();
    if (!viewer) {
        std::fputs("varnolux-screenshot: no viewer opened\n", stderr);
        return false;
    }
    NamedPart<QComboBox>(*viewer, "ComboBoxZoom").setCurrentText("200%");
    auto& view = NamedPart<TPictureView>(*viewer, "ScrollBoxImage");
    view.horizontalScrollBar()->setValue(2 * 180 - view.viewport()->width() / 2);
    view.verticalScrollBar()->setValue(2 * 330 - view.viewport()->height() / 2);
    const bool saved = Save(*viewer, output);
    viewer->close();
    return saved;
}

/// The analysis-area editor with the sample's borders and a circle around the middle
/// objects, the circle selected; at the given size (WIDTHxHEIGHT or "min") if any.
bool PictureOfRegion(TProgramWindows& windows, const std::string& output, const std::string& size)
{
    bool saved = false;
    When([] { return qobject_cast<TFormRegionSelection*>(QApplication::activeModalWidget()); },
         [&] {
             auto& editor = *qobject_cast<TFormRegionSelection*>(QApplication::activeModalWidget());
             if (size == "min")
                 editor.resize(editor.minimumSize());
             else if (int width = 0, height = 0;
                      std::sscanf(size.c_str(), "%dx%d", &width, &height) == 2)
                 editor.resize(width, height);
             NamedPart<QLineEdit>(editor, "EditInclCenterX").setText("320");
             NamedPart<QLineEdit>(editor, "EditInclCenterY").setText("230");
             NamedPart<QLineEdit>(editor, "EditInclDiameter").setText("420");
             NamedPart<QCheckBox>(editor, "CheckBoxInclusion").setChecked(true);
             auto& canvas = NamedPart<TMyCAD>(editor, "MyCADSelection");
             const QPoint centre = canvas.ToCanvas(TMyPoint(320, 230));
             SendMouse(canvas, QEvent::MouseButtonPress, centre, Qt::LeftButton);
             Release(canvas, centre);
             // The picture once the new size is laid out, scroll bars and all.
             When([] { return true; },
                  [&] {
                      saved = Save(editor, output);
                      editor.reject();
                  });
         });
    windows.FormMain->ActionByName("ActionRegionSelect")->trigger();
    return saved;
}

/// The print template editor, showing the template in force.
bool PictureOfTemplate(TProgramWindows& windows, const std::string& output)
{
    bool saved = false;
    const auto editor = [] {
        return qobject_cast<TFormReportTemplate*>(QApplication::activeModalWidget());
    };
    When([&] { return editor() != nullptr; },
         [&] {
             saved = Save(*editor(), output);
             editor()->reject();
         });
    windows.FormMain->ActionByName("ActionEditRoport")->trigger();
    return saved;
}

} // namespace

bool IsToolPicture(const std::string& tool)
{
    return tool == "measure" || tool == "selection" || tool == "viewer" || tool == "region" ||
           tool == "template";
}

int PictureOfTool(TProgramWindows& windows, const std::string& tool, const std::string& output,
                  const std::string& size)
{
    const bool saved = tool == "measure"     ? PictureOfMeasure(windows, output)
                       : tool == "selection" ? PictureOfSelection(windows, output)
                       : tool == "region"    ? PictureOfRegion(windows, output, size)
                       : tool == "template"  ? PictureOfTemplate(windows, output)
                                             : PictureOfViewer(windows, output);
    windows.FormMain->close();
    return saved ? 0 : 1;
}

} // namespace varnolux
