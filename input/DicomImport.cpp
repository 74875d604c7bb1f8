#include "input/DicomImport.h"

#include "base/Messages.h"
#include "base/Paths.h"
#include "input/ConsoleProgram.h"
#include "input/TKVFreeImage.h"
#include "input/TScopedFile.h"
#include "input/TempFolder.h"
#include "settings/NumberText.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace varnolux {

namespace {

constexpr const char* DumpTool = "dcmdump";
constexpr const char* GreyConverter = "dcmp2pgm";
constexpr const char* ColourConverter = "dcm2pnm";
// DCMTK's converter with the JPEG decoders.
constexpr const char* JpegConverter = "dcmj2pnm";

constexpr std::string_view SamplesPerPixelTag = "(0028,0002)";
constexpr std::string_view NumberOfFramesTag = "(0028,0008)";
constexpr std::size_t ValueColumn = 15;
constexpr std::size_t ValueWidth = 8;
// Enough of a tool's complaint to see what went wrong.
constexpr std::size_t MaxComplaintLength = 400;

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

int DumpValue(std::string_view line)
{
    const std::string_view value =
        Trimmed(line.substr(std::min(ValueColumn, line.size()), ValueWidth));
    return ParseDecimalInteger(value).value_or(0);
}

/// The frame count is written in brackets, "[12]".
int BracketedDumpValue(std::string_view line)
{
    std::string_view value = Trimmed(line.substr(std::min(ValueColumn, line.size()), ValueWidth));
    if (value.size() < 2)
        return 0;
    return ParseDecimalInteger(value.substr(1, value.size() - 2)).value_or(0);
}

bool IsProgram(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

/// A path as a tool argument: DCMTK tools take "-…" for an option and "@…" for a
/// file of further arguments.
std::string ToolArgument(const std::string& path)
{
    return path.starts_with('/') ? path : "./" + path;
}

/// The errors among a tool's messages ("E: …", "F: …"), else all of them.
std::string ToolErrors(std::string_view messages)
{
    std::string errors;
    for (std::string_view rest = messages; !rest.empty();) {
        const auto lineEnd = rest.find('\n');
        const std::string_view line = Trimmed(rest.substr(0, lineEnd));
        rest.remove_prefix(lineEnd == std::string_view::npos ? rest.size() : lineEnd + 1);
        if (line.starts_with("E: ") || line.starts_with("F: "))
            errors += (errors.empty() ? "" : " ") + std::string(line);
    }
    return errors.empty() ? std::string(Trimmed(messages)) : errors;
}

/// Why a tool run gave nothing, in a few words or the tool's own.
std::string ToolComplaint(const TConsoleResult& run)
{
    if (!run.Started)
        return "it could not be started (" + run.StartError + ")";
    if (run.TimedOut)
        return "it did not finish within " +
               std::to_string(ConsoleProgramTimeLimit.count() / 1000) + " s and was stopped";
    const std::string errors = ToolErrors(run.ErrorOutput).substr(0, MaxComplaintLength);
    if (errors.empty())
        return "exit status " + std::to_string(run.ExitCode);
    return errors;
}

bool HasWrittenFile(const std::string& fileName)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(fileName, error);
    return !error && size > 0;
}

struct TConverter {
    const char* name;
    std::string path;
    std::vector<std::string> options;
};

/// Runs a converter; true when it ended normally and wrote the output file.
bool Convert(const TConverter& converter, const std::string& fileName, const std::string& output,
             std::string& complaints)
{
    std::vector<std::string> arguments = {converter.path};
    arguments.insert(arguments.end(), converter.options.begin(), converter.options.end());
    arguments.push_back(ToolArgument(fileName));
    arguments.push_back(ToolArgument(output));
    const TConsoleResult run = RunConsoleProgram(arguments);
    if (!run.TimedOut && run.ExitCode == 0 && HasWrittenFile(output))
        return true;
    complaints += (complaints.empty() ? "" : "; ") + std::string(converter.name) +
                  " wrote no image file: " + ToolComplaint(run);
    return false;
}

} // namespace

TDicomDumpValues ReadDicomDumpValues(std::string_view dump)
{
    TDicomDumpValues values;
    while (!dump.empty()) {
        const auto lineEnd = dump.find('\n');
        const std::string_view line = dump.substr(0, lineEnd);
        dump.remove_prefix(lineEnd == std::string_view::npos ? dump.size() : lineEnd + 1);
        if (line.starts_with(SamplesPerPixelTag))
            values.SamplesPerPixel = DumpValue(line);
        else if (line.starts_with(NumberOfFramesTag))
            values.Frames = BracketedDumpValue(line);
    }
    return values;
}

bool IsDicomFileName(const std::string& fileName)
{
    const std::string extension = UpperCaseExtension(fileName);
    return extension == ".DCM" || extension == ".DC3";
}

std::string FindDicomTool(const std::string& name, const std::string& programFolder)
{
    if (IsProgram(programFolder + name))
        return programFolder + name;
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "";
    while (!folders.empty()) {
        const auto colon = folders.find(':');
        const std::string folder(folders.substr(0, colon));
        folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
        // A relative entry would run whatever the working folder holds.
        if (folder.starts_with('/') && IsProgram(folder + "/" + name))
            return folder + "/" + name;
    }
    return {};
}

std::string MissingDicomToolText(const std::string& name)
{
    return FormatMessage(DefaultMessageText("LDicomToolMissing"), {ProgramFolder() + name});
}

std::string MakeDicomTempFileName(const std::string& folder, const std::string& dicomFileName,
                                  const std::string& extension)
{
    return ClaimFreeFileName(folder + dicomFileName, 1, extension);
}

std::string TKVFreeImage::ConvertDicom(const std::string& fileName, const std::string& shownName)
{
    return RunDicomConverter(fileName, ReadDicomSamplesPerPixel(fileName, shownName), shownName);
}

int TKVFreeImage::ReadDicomSamplesPerPixel(const std::string& fileName,
                                           const std::string& shownName)
{
    const std::string shown = shownName.empty() ? fileName : shownName;
    const std::string tool = FindDicomTool(DumpTool);
    if (tool.empty()) {
        CurrentReporter().ShowLanguageMessage("LDicomToolMissing", {ProgramFolder() + DumpTool});
        return 0;
    }
    const TConsoleResult dump = RunConsoleProgram({tool, ToolArgument(fileName)});
    const TDicomDumpValues values = ReadDicomDumpValues(dump.Output);
    if (values.Frames > 1)
        CurrentReporter().ShowLanguageMessage("LDicomFrames", {std::to_string(values.Frames)});
    if (values.SamplesPerPixel >= 1)
        return values.SamplesPerPixel;
    if (!dump.Started || dump.TimedOut || dump.ExitCode != 0)
        CurrentReporter().ShowLanguageMessage("LDicomToolFailed",
                                              {shown, DumpTool, ToolComplaint(dump)});
    else
        CurrentReporter().ShowLanguageMessage("LDicomNoImage", {shown});
    return 0;
}

std::string TKVFreeImage::RunDicomConverter(const std::string& fileName, int samples,
                                            const std::string& shownName)
{
    if (samples < 1)
        return {};
    const std::string shown = shownName.empty() ? fileName : shownName;
    const bool grey = samples == 1;
    std::vector<TConverter> converters;
    if (grey) {
        converters.push_back({GreyConverter, FindDicomTool(GreyConverter), {}});
        // dcmp2pgm cannot decompress; dcmj2pnm writes a PGM file by default.
        if (std::string jpeg = FindDicomTool(JpegConverter); !jpeg.empty())
            converters.push_back({JpegConverter, jpeg, {}});
    } else if (std::string jpeg = FindDicomTool(JpegConverter); !jpeg.empty()) {
        converters.push_back({JpegConverter, jpeg, {"+ob"}});
    } else {
        converters.push_back({ColourConverter, FindDicomTool(ColourConverter), {"+ob"}});
    }
    if (converters.front().path.empty()) {
        CurrentReporter().ShowLanguageMessage("LDicomToolMissing",
                                              {ProgramFolder() + converters.front().name});
        return {};
    }

    const std::string folder = TempDir.empty() ? TempFolder() : TempDir;
    TScopedFile output(MakeDicomTempFileName(folder, FileNamePart(shown), grey ? ".pgm" : ".bmp"));
    std::string complaints;
    for (const TConverter& converter : converters)
        if (Convert(converter, fileName, output.Name(), complaints))
            return output.Release();
    CurrentReporter().ShowLanguageMessage("LDicomConversionFailed", {shown, complaints});
    return {};
}

} // namespace varnolux
