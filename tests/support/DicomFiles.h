#pragma once

// DICOM fixtures, made with DCMTK's own tools from images and dump texts written here.

#include "input/ConsoleProgram.h"
#include "input/DicomImport.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace varnolux::test {

/// Runs a DCMTK tool found on PATH; throws when it fails.
inline void RunDcmtk(const std::string& tool, std::vector<std::string> arguments)
{
    const std::string path = FindDicomTool(tool, "/nonexistent/");
    if (path.empty())
        throw std::runtime_error(tool + " is not installed (scripts/install-deps installs dcmtk)");
    arguments.insert(arguments.begin(), path);
    const TConsoleResult run = RunConsoleProgram(arguments);
    if (run.ExitCode != 0)
        throw std::runtime_error(tool + " failed: " + run.ErrorOutput);
}

/// A DICOM file from a BMP (BMP3, palette grey or 24-bit colour) or JPEG file.
inline void ImageToDicom(const std::string& image, bool isBmp, const std::string& dicom)
{
    if (isBmp)
        RunDcmtk("img2dcm", {"-q", "-i", "BMP", image, dicom});
    else
        RunDcmtk("img2dcm", {"-q", image, dicom});
}

/// A DICOM file from a dump text in dcmdump's form.
inline void DumpToDicom(const std::string& dump, const std::string& dicom)
{
    const std::string text = dicom + ".txt";
    WriteFile(text, dump);
    RunDcmtk("dump2dcm", {"-q", text, dicom});
    std::filesystem::remove(text);
}

/// The hexadecimal byte list of a dump's OB value: 00\40\ff.
inline std::string DumpBytes(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", byte);
        text += (text.empty() ? "" : "\\") + std::string(hex);
    }
    return text;
}

/// The elements of an 8-bit image, without pixel data: samples 1 (MONOCHROME2) or 3 (RGB).
inline std::string DumpImageElements(int samples, int width, int height)
{
    return "(0028,0002) US " + std::to_string(samples) + "\n" +
           (samples == 1 ? "(0028,0004) CS [MONOCHROME2]\n"
                         : "(0028,0004) CS [RGB]\n(0028,0006) US 0\n") +
           "(0028,0010) US " + std::to_string(height) + "\n" + "(0028,0011) US " +
           std::to_string(width) + "\n" +
           "(0028,0100) US 8\n(0028,0101) US 8\n(0028,0102) US 7\n(0028,0103) US 0\n";
}

/// The header of a secondary-capture image, the elements before (0028,xxxx).
inline std::string DumpHeader(const std::string& extra = {})
{
    return "(0008,0016) UI =SecondaryCaptureImageStorage\n(0008,0018) UI "
           "[1.2.826.0.1.3680043.2.1]\n" +
           extra +
           "(0020,000d) UI [1.2.826.0.1.3680043.2.2]\n(0020,000e) UI [1.2.826.0.1.3680043.2.3]\n";
}

/// A whole 8-bit image: samples values per pixel, pixels row by row from the top.
inline std::string ImageDump(int samples, int width, int height,
                             const std::vector<std::uint8_t>& pixels,
                             const std::string& afterImageElements = {})
{
    return DumpHeader() + DumpImageElements(samples, width, height) + afterImageElements +
           "(7fe0,0010) OB " + DumpBytes(pixels) + "\n";
}

} // namespace varnolux::test
