#include "tools/Regionselectioncore.h"

#include "drawing/CanvasPixels.h"
#include "drawing/TMyCAD.h"
#include "drawing/TMyRectangle.h"
#include "imaging/TBitmap24.h"
#include "settings/NumberText.h"
#include "settings/TOptions.h"
#include "tools/PictureToolParts.h"
#include "tools/TColorBox.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <utility>

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace varnolux {

namespace {

/// Corners in image pixels: top-left, top-right, bottom-right, bottom-left. Sums of
/// two typed values are taken in 64 bits: they may pass the limits of an int.
using TCorners = std::array<QPointF, TMyRectangle::CornerCount>;

TCorners Box(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
{
    const auto l = static_cast<double>(left);
    const auto t = static_cast<double>(top);
    const auto r = static_cast<double>(right);
    const auto b = static_cast<double>(bottom);
    return {QPointF(l, t), QPointF(r, t), QPointF(r, b), QPointF(l, b)};
}

/// The whole number an edit holds, or the fallback when it holds none.
std::int64_t EditValue(const QLineEdit& edit, int fallback)
{
    return ParseDecimalInteger(edit.text().trimmed().toStdString()).value_or(fallback);
}

/// A shape's coordinate as the whole number an edit shows: truncated, and held within
/// what an option can store.
QString WholeNumberText(double value)
{
    if (std::isnan(value))
        return "0";
    const double held = std::clamp(std::trunc(value), double{std::numeric_limits<int>::min()},
                                   double{std::numeric_limits<int>::max()});
    return QString::number(static_cast<int>(held));
}

constexpr QSize MinimumSize(450, 450);

/// The edits' fallbacks when they hold no whole number.
constexpr int InclusionFallback = 20;
constexpr int ExclusionFallback = 2;

QColor PenColour(TColour colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

QLineEdit* NumberEdit(QWidget* parent, const char* name, const char* text)
{
    auto* edit = Named(new QLineEdit(text, parent), name);
    edit->setMaximumWidth(110);
    return edit;
}

QFrame* Bevel(QWidget* parent, const char* name)
{
    auto* bevel = Named(new QFrame(parent), name);
    bevel->setFrameShape(QFrame::StyledPanel);
    return bevel;
}

} // namespace

TFormRegionSelection::TFormRegionSelection(QWidget* parent)
    : QDialog(parent)
    , Bevel1(Bevel(this, "Bevel1"))
    , CheckBoxInclusion(Named(new QCheckBox("Use inclusion circle", Bevel1), "CheckBoxInclusion"))
    , ColorBoxInclusion(Named(new TColorBox(Bevel1), "ColorBoxInclusion"))
    , LabelInclDiameter(Named(new QLabel("Diameter", Bevel1), "LabelInclDiameter"))
    , EditInclDiameter(NumberEdit(Bevel1, "EditInclDiameter", "100"))
    , LabelInclCenterX(Named(new QLabel("Centre x", Bevel1), "LabelInclCenterX"))
    , EditInclCenterX(NumberEdit(Bevel1, "EditInclCenterX", "200"))
    , LabelInclCenterY(Named(new QLabel("Centre y", Bevel1), "LabelInclCenterY"))
    , EditInclCenterY(NumberEdit(Bevel1, "EditInclCenterY", "200"))
    , Bevel2(Bevel(this, "Bevel2"))
    , CheckBoxExclusion(Named(new QCheckBox("Use excluded borders", Bevel2), "CheckBoxExclusion"))
    , ColorBoxExclusion(Named(new TColorBox(Bevel2), "ColorBoxExclusion"))
    , LabelExclLeft(Named(new QLabel("Left", Bevel2), "LabelExclLeft"))
    , EditExclLeft(NumberEdit(Bevel2, "EditExclLeft", "5"))
    , LabelExclRight(Named(new QLabel("Right", Bevel2), "LabelExclRight"))
    , EditExclRight(NumberEdit(Bevel2, "EditExclRight", "5"))
    , LabelExclTop(Named(new QLabel("Top", Bevel2), "LabelExclTop"))
    , EditExclTop(NumberEdit(Bevel2, "EditExclTop", "5"))
    , LabelExclBottom(Named(new QLabel("Bottom", Bevel2), "LabelExclBottom"))
    , EditExclBottom(NumberEdit(Bevel2, "EditExclBottom", "5"))
    , Bevel4(Bevel(this, "Bevel4"))
    , Label1(Named(new QLabel("Zoom", Bevel4), "Label1"))
    , TrackBarZoom(Named(new QSlider(Qt::Horizontal, Bevel4), "TrackBarZoom"))
    , BitBtnOk(Named(new QPushButton("OK", this), "BitBtnOk"))
    , BitBtn1(Named(new QPushButton("Cancel", this), "BitBtn1"))
    , ScrollBoxDraw(Named(new QScrollArea(this), "ScrollBoxDraw"))
    , MyCADSelection(Named(new TMyCAD, "MyCADSelection"))
    , StatusBar1(Named(new QStatusBar(this), "StatusBar1"))
    , TimerRefresh(Named(new QTimer(this), "TimerRefresh"))
    , ZoomPanel(new QLabel(StatusBar1))
{
    setObjectName("FormRegionSelection");
    setWindowTitle("Analysis area");
    setWindowFlag(Qt::Tool);
    setMinimumSize(MinimumSize);
    resize(900, 640);

    ColorBoxInclusion->SetColour(MakeColour(0, 255, 0));
    ColorBoxExclusion->SetColour(MakeColour(255, 0, 0));
    TrackBarZoom->setRange(-80, 80);
    TrackBarZoom->setTickInterval(10);
    TrackBarZoom->setTickPosition(QSlider::TicksBelow);
    TrackBarZoom->setValue(0);
    BitBtnOk->setDefault(true);

    MyCADSelection->setFocusPolicy(Qt::ClickFocus);
    MyCADSelection->SetColorOfBackGround(Qt::white);
    ScrollBoxDraw->setWidget(MyCADSelection);
    ScrollBoxDraw->setBackgroundRole(QPalette::Mid);
    TimerRefresh->setInterval(50);
    TimerRefresh->setSingleShot(true);
    ZoomPanel->setMinimumWidth(120);
    StatusBar1->addWidget(ZoomPanel);

    const auto group = [](QFrame* bevel, QCheckBox* check, TColorBox* colour,
                          std::initializer_list<std::pair<QLabel*, QLineEdit*>> edits) {
        auto* grid = new QGridLayout(bevel);
        grid->addWidget(check, 0, 0, 1, 2);
        grid->addWidget(colour, 1, 0, 1, 2);
        int row = 2;
        for (const auto& [label, edit] : edits) {
            label->setBuddy(edit);
            grid->addWidget(label, row, 0);
            grid->addWidget(edit, row++, 1);
        }
        grid->setColumnStretch(0, 1);
    };
    group(Bevel1, CheckBoxInclusion, ColorBoxInclusion,
          {{LabelInclDiameter, EditInclDiameter},
           {LabelInclCenterX, EditInclCenterX},
           {LabelInclCenterY, EditInclCenterY}});
    group(Bevel2, CheckBoxExclusion, ColorBoxExclusion,
          {{LabelExclLeft, EditExclLeft},
           {LabelExclRight, EditExclRight},
           {LabelExclTop, EditExclTop},
           {LabelExclBottom, EditExclBottom}});
    auto* zoom = new QVBoxLayout(Bevel4);
    zoom->addWidget(Label1);
    zoom->addWidget(TrackBarZoom);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtnOk);
    buttons->addWidget(BitBtn1);
    auto* side = new QVBoxLayout;
    side->addWidget(Bevel1);
    side->addWidget(Bevel2);
    side->addWidget(Bevel4);
    side->addStretch();
    side->addLayout(buttons);
    auto* top = new QHBoxLayout;
    top->addWidget(ScrollBoxDraw, 1);
    top->addLayout(side);
    auto* window = new QVBoxLayout(this);
    window->addLayout(top, 1);
    window->addWidget(StatusBar1);

    connect(BitBtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(CheckBoxInclusion, &QCheckBox::toggled, this,
            &TFormRegionSelection::CheckBoxInclusionClick);
    connect(CheckBoxExclusion, &QCheckBox::toggled, this,
            &TFormRegionSelection::CheckBoxExclusionClick);
    for (QLineEdit* edit : {EditInclDiameter, EditInclCenterX, EditInclCenterY})
        connect(edit, &QLineEdit::editingFinished, this, [this] { ApplyEdits(InclusionName); });
    for (QLineEdit* edit : {EditExclLeft, EditExclRight, EditExclTop, EditExclBottom})
        connect(edit, &QLineEdit::editingFinished, this, [this] { ApplyEdits(ExclusionName); });
    connect(ColorBoxInclusion, &TColorBox::ColourChanged, this,
            [this](TColour colour) { SetShapeColour(InclusionName, colour); });
    connect(ColorBoxExclusion, &TColorBox::ColourChanged, this,
            [this](TColour colour) { SetShapeColour(ExclusionName, colour); });
    connect(TrackBarZoom, &QSlider::valueChanged, this, &TFormRegionSelection::TrackBarZoomChange);
    connect(TimerRefresh, &QTimer::timeout, this, &TFormRegionSelection::TimerRefreshTimer);
    connect(MyCADSelection, &TMyCAD::ShapeChanged, this, &TFormRegionSelection::ShapeChanged);
    MyCADSelection->OnShapeMouseResizing = [this](TMyShape& shape, QPoint from, QPoint& to) {
        ShapeMouseResizing(shape, from, to);
    };
    MyCADSelection->OnShapeMouseResized = [this](TMyShape& shape, QPoint from, QPoint& to) {
        ShapeMouseResized(shape, from, to);
    };
    TrackBarZoomChange();
}

TFormRegionSelection::~TFormRegionSelection() = default;

void TFormRegionSelection::showEvent(QShowEvent* event)
{
    setMinimumSize(layout()->minimumSize().expandedTo(MinimumSize));
    QDialog::showEvent(event);
}

void TFormRegionSelection::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && qobject_cast<QLineEdit*>(focusWidget())) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormRegionSelection::LoadBackground(std::shared_ptr<const TBitmap24> picture)
{
    picture_ = std::move(picture);
    QImage image;
    if (picture_ && !picture_->IsEmpty())
        image = QImage(picture_->Bits(), picture_->Width(), picture_->Height(),
                       static_cast<qsizetype>(picture_->Stride()), QImage::Format_BGR888);
    imageWidth_ = image.width();
    imageHeight_ = image.height();
    MyCADSelection->SetBkBitmap(image);
    TrackBarZoomChange();
}

int TFormRegionSelection::ZoomPosition() const
{
    return TrackBarZoom->value();
}

void TFormRegionSelection::SetZoomPosition(int position)
{
    TrackBarZoom->setValue(position);
}

double TFormRegionSelection::ZoomFactor() const
{
    return std::pow(10.0, TrackBarZoom->value() * 0.01);
}

void TFormRegionSelection::TrackBarZoomChange()
{
    const double factor = ZoomFactor();
    MyCADSelection->SetZoom(factor);
    ZoomPanel->setText(QString("Zoom %1%").arg(factor * 100, 0, 'f', 1));
}

void TFormRegionSelection::ReadFrom(const TOptions& options)
{
    ColorBoxInclusion->SetColour(static_cast<TColour>(options.colColorInclCircle));
    ColorBoxExclusion->SetColour(static_cast<TColour>(options.colColorExclRect));
    EditInclCenterX->setText(QString::number(options.iInclCircleX));
    EditInclCenterY->setText(QString::number(options.iInclCircleY));
    EditInclDiameter->setText(QString::number(options.iInclCircleDiam));
    EditExclLeft->setText(QString::number(options.iExclRectLeft));
    EditExclTop->setText(QString::number(options.iExclRectUp));
    EditExclRight->setText(QString::number(options.iExclRectRight));
    EditExclBottom->setText(QString::number(options.iExclRectDown));
    CheckBoxInclusion->setChecked(options.lUseInclCircle);
    CheckBoxExclusion->setChecked(options.lUseExclRect);
    // A shape that was there already follows the new values too.
    ApplyEdits(InclusionName);
    ApplyEdits(ExclusionName);
    SetShapeColour(InclusionName, ColorBoxInclusion->Colour());
    SetShapeColour(ExclusionName, ColorBoxExclusion->Colour());
}

void TFormRegionSelection::WriteTo(TOptions& options) const
{
    const auto value = [](const QLineEdit* edit) {
        return ParseDecimalInteger(edit->text().trimmed().toStdString()).value_or(0);
    };
    options.colColorInclCircle = static_cast<int>(ColorBoxInclusion->Colour());
    options.colColorExclRect = static_cast<int>(ColorBoxExclusion->Colour());
    options.iInclCircleX = value(EditInclCenterX);
    options.iInclCircleY = value(EditInclCenterY);
    options.iInclCircleDiam = value(EditInclDiameter);
    options.iExclRectLeft = value(EditExclLeft);
    options.iExclRectUp = value(EditExclTop);
    options.iExclRectRight = value(EditExclRight);
    options.iExclRectDown = value(EditExclBottom);
    options.lUseInclCircle = CheckBoxInclusion->isChecked();
    options.lUseExclRect = CheckBoxExclusion->isChecked();
}

void TFormRegionSelection::CheckBoxInclusionClick()
{
    ShowShape(InclusionName, CheckBoxInclusion->isChecked());
}

void TFormRegionSelection::CheckBoxExclusionClick()
{
    ShowShape(ExclusionName, CheckBoxExclusion->isChecked());
}

void TFormRegionSelection::ShowShape(const QString& name, bool shown)
{
    TMyCAD& canvas = *MyCADSelection;
    if (TMyShape* existing = canvas.FindShapeByName(name)) {
        if (!shown) {
            changedShapes_.erase(existing->ID());
            canvas.DeleteShape(existing->ID());
        }
        return;
    }
    if (!shown)
        return;
    const bool inclusion = name == InclusionName;
    const TColorBox& colourBox = inclusion ? *ColorBoxInclusion : *ColorBoxExclusion;
    QPen pen(PenColour(colourBox.Colour()), 2);
    canvas.SetPen(pen);
    // Created in canvas pixels of the current zoom, then put exactly on the numbers.
    std::array<QPoint, TMyRectangle::CornerCount> points;
    const double zoom = canvas.Zoom();
    const TCorners corners = EditCorners(name);
    for (size_t i = 0; i < points.size(); ++i)
        points[i] = QPoint(CanvasPixel(corners[i].x() * zoom), CanvasPixel(corners[i].y() * zoom));
    const int id =
        canvas.AddShape(inclusion ? TDrawTool::SpEllipse : TDrawTool::SpRectangle, 0, points, name);
    if (inclusion)
        // Only the corners resize the circle: a side handle would make it an ellipse.
        static_cast<TMyRectangle*>(canvas.FindShapeById(id))->SetShowSideHot(false);
    ApplyEdits(name);
}

void TFormRegionSelection::ApplyEdits(const QString& shapeName)
{
    TMyShape* shape = MyCADSelection->FindShapeByName(shapeName);
    if (!shape)
        return;
    const TCorners corners = EditCorners(shapeName);
    for (size_t i = 0; i < corners.size(); ++i)
        shape->SetPoint(static_cast<int>(i), TMyPoint(corners[i]));
    MyCADSelection->update();
}

TCorners TFormRegionSelection::EditCorners(const QString& shapeName) const
{
    if (shapeName == InclusionName) {
        const std::int64_t radius = EditValue(*EditInclDiameter, InclusionFallback) / 2;
        const std::int64_t x = EditValue(*EditInclCenterX, InclusionFallback);
        const std::int64_t y = EditValue(*EditInclCenterY, InclusionFallback);
        return Box(x - radius, y - radius, x + radius, y + radius);
    }
    return Box(EditValue(*EditExclLeft, ExclusionFallback),
               EditValue(*EditExclTop, ExclusionFallback),
               imageWidth_ - EditValue(*EditExclRight, ExclusionFallback),
               imageHeight_ - EditValue(*EditExclBottom, ExclusionFallback));
}

void TFormRegionSelection::SetShapeColour(const QString& shapeName, TColour colour)
{
    TMyShape* shape = MyCADSelection->FindShapeByName(shapeName);
    if (!shape)
        return;
    QPen pen = shape->Pen();
    pen.setColor(PenColour(colour));
    shape->SetPen(pen);
    MyCADSelection->update();
}

void TFormRegionSelection::ConstrainSquare(const TMyShape& shape, QPoint& toPoint) const
{
    const int handle = shape.HotIndex();
    if (handle < 0 || handle >= TMyRectangle::CornerCount)
        return;
    // From the corner itself, not from where the button went down within its handle.
    const TMyPoint corner = shape.Points()[static_cast<size_t>(handle)];
    TMyRectangle::ConstrainSquare(MyCADSelection->ToCanvas(corner), toPoint, handle);
}

void TFormRegionSelection::ShapeMouseResizing(TMyShape& shape, QPoint, QPoint& toPoint)
{
    if (shape.Name() != InclusionName)
        return;
    resizing_ = true;
    ConstrainSquare(shape, toPoint);
}

void TFormRegionSelection::ShapeMouseResized(TMyShape& shape, QPoint, QPoint& toPoint)
{
    if (resizing_ && shape.Name() == InclusionName)
        ConstrainSquare(shape, toPoint);
    resizing_ = false;
}

void TFormRegionSelection::ShapeChanged(int id)
{
    // Every shape of a drag: with two selected, both groups' numbers follow.
    changedShapes_.insert(id);
    TimerRefresh->start();
}

void TFormRegionSelection::TimerRefreshTimer()
{
    TimerRefresh->stop();
    for (const int id : std::exchange(changedShapes_, {}))
        if (const TMyShape* shape = MyCADSelection->FindShapeById(id))
            RefreshEdits(*shape);
}

void TFormRegionSelection::RefreshEdits(const TMyShape& shape)
{
    if (shape.Name() == InclusionName) {
        const TMyPoint centre = shape.GetCenter();
        EditInclDiameter->setText(WholeNumberText(static_cast<double>(shape.GetWidth())));
        EditInclCenterX->setText(WholeNumberText(centre.x + 0.5));
        EditInclCenterY->setText(WholeNumberText(centre.y + 0.5));
    } else if (shape.Name() == ExclusionName) {
        const TMyPoint topLeft = shape.GetTopLeft();
        const TMyPoint bottomRight = shape.GetBottomRight();
        EditExclLeft->setText(WholeNumberText(topLeft.x));
        EditExclRight->setText(WholeNumberText(imageWidth_ - double{bottomRight.x}));
        EditExclTop->setText(WholeNumberText(topLeft.y));
        EditExclBottom->setText(WholeNumberText(imageHeight_ - double{bottomRight.y}));
    }
}

void TFormRegionSelection::done(int result)
{
    // A drag ended less than the refresh time ago is still to reach the edits.
    if (result == Accepted)
        TimerRefreshTimer();
    else
        TimerRefresh->stop();
    QDialog::done(result);
}

} // namespace varnolux
