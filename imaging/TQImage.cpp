#include "imaging/TQImage.h"

#include "base/Files.h"
#include "base/Messages.h"
#include "imaging/PictureFile.h"
#include "imaging/TImageView.h"
#include "imaging/TQStatus.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace varnolux {

TQImage::TQImage()
{
    TQStatus::Instance();
}

TQImage::TQImage(TImageView* control)
    : TQImage()
{
    SetImage(control);
}

void TQImage::SetImage(TImageView* control)
{
    Control = control;
    Bitmap = control ? &control->Picture() : nullptr;
    CalcScaling();
}

void TQImage::CalcScaling()
{
    ScaleX = 1.0;
    ScaleY = 1.0;
    if (!Control || !Bitmap)
        return;
    if (Control->ControlWidth() > 0)
        ScaleX = double(Bitmap->Width()) / double(Control->ControlWidth());
    if (Control->ControlHeight() > 0)
        ScaleY = double(Bitmap->Height()) / double(Control->ControlHeight());
}

void TQImage::Clear()
{
    if (Bitmap)
        Bitmap->Fill(BackgroundColour);
}

void TQImage::DrawPoint(int x, int y, TColour colour)
{
    if (Bitmap)
        DrawPointOn(*Bitmap, x, y, colour);
}

void TQImage::DrawPointOn(TBitmap24& bitmap, int x, int y, TColour colour) const
{
    // The point covers at least one displayed pixel when the view shows the bitmap
    // reduced; the far edge is clamped so a huge scale cannot overflow.
    const auto farEdge = [](int start, double scale) {
        const double edge = std::trunc(double(start) + scale) + 1.0;
        return int(std::clamp(edge, double(INT_MIN), double(INT_MAX)));
    };
    bitmap.FillRect(x, y, farEdge(x, ScaleX), farEdge(y, ScaleY), colour);
}

void TQImage::SetBitmapSize(int width, int height)
{
    if (Bitmap)
        Bitmap->SetSize(width, height);
    CalcScaling();
}

void TQImage::ResetBitmap()
{
    SetBitmapSize(0, 0);
}

bool TQImage::LoadPicture(const std::string& fileName)
{
    FileName = fileName;
    if (PictureFileType(fileName) == TPictureFileType::None)
        return false;
    if (!FileExists(fileName)) {
        CurrentReporter().ShowLanguageMessage("FileNotFound", {fileName});
        return false;
    }
    if (!Control)
        return false;
    Control->Picture() = ReadPictureFile(fileName);
    SetImage(Control);
    Repaint();
    return true;
}

void TQImage::Repaint()
{
    if (Control)
        Control->PictureChanged();
}

} // namespace varnolux
