// Our BMP reader: any file is read or refused with TImageFileError, and what it
// reads survives writing and reading again.

#include "FuzzTarget.h"
#include "imaging/BmpFile.h"
#include "imaging/TQError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace varnolux;
    static const fuzz::TScratchFile input(".bmp");
    static const fuzz::TScratchFile copy("-copy.bmp");
    TBitmap24 bitmap;
    try {
        bitmap = ReadBmpFile(input.Write(fuzz::Bytes(data, size)));
    } catch (const TImageFileError&) {
        return 0;
    }
    fuzz::Check(bitmap.Width() > 0 && bitmap.Height() > 0, "a bitmap without pixels is read");
    WriteBmpFile(bitmap, copy.Name());
    fuzz::Check(ReadBmpFile(copy.Name()) == bitmap, "a written bitmap reads back otherwise");
    return 0;
}
