#include "interface/TInterfaceBA.h"

#include "base/Files.h"
#include "base/Messages.h"
#include "results/NumberFormat.h"
#include "settings/ProgramInfo.h"
#include "settings/SettingsAccess.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <utility>

namespace varnolux {

namespace {

constexpr const char* CameraRecordSection = "RecordData";
constexpr const char* CameraTableFile = "Camera.ini";
constexpr const char* DefaultResultFile = "result.txt";
constexpr const char* DefaultResultFileDetail = "detail.txt";

// Significant digits of a floating-point value for the calling program; a value with
// more integer digits is written in exponent form.
constexpr int CallerValuePrecision = 7;

std::string WithTrailingSlash(std::string folder)
{
    if (!folder.empty() && !folder.ends_with('/'))
        folder += '/';
    return folder;
}

// An unreadable record file reads like an empty one: every key takes its default.
TIniDocument LoadOrEmpty(const std::string& fileName)
{
    auto document = TIniDocument::Load(fileName);
    return document ? std::move(*document) : TIniDocument::Parse({});
}

// A count taken from outside sizes the record lists: refuse what no caller can mean.
bool AcceptRecordCount(long long count, const std::string& fileName)
{
    if (count < 0) {
        CurrentReporter().ShowLanguageMessage("LInterfaceImageCountNegative",
                                              {fileName, std::to_string(count)});
        return false;
    }
    if (count > TInterfaceBA::MaxRecordCount) {
        CurrentReporter().ShowLanguageMessage(
            "LInterfaceImageCountTooLarge",
            {fileName, std::to_string(count), std::to_string(TInterfaceBA::MaxRecordCount)});
        return false;
    }
    return true;
}

// The value of a path key; an empty value counts as not given.
std::string PathValue(const TIniDocument& file, const std::string& key,
                      const std::string& defaultValue)
{
    const std::string value = ReadConfigString(file, "Analysis", key, "");
    return value.empty() ? defaultValue : value;
}

struct TCallerEntry {
    std::string section;
    std::string key;
    std::string value;
};

// Value and type of a result section as the calling program reads them.
std::pair<std::string, std::string> CallerValueAndType(const TResult& results,
                                                       const std::string& itemName)
{
    const TResultItem* item = results.Find(itemName);
    if (!item)
        return {"", "string"};
    switch (item->Kind) {
    case TResultItem::KindFloat:
        return {FormatFixedPrecision(item->DoubleValue, CallerValuePrecision, 0), "float"};
    case TResultItem::KindInteger:
        return {std::to_string(item->IntValue), "int"};
    default:
        return {item->ValueText, "string"};
    }
}

std::vector<TCallerEntry> CallerResultEntries(const TResult& results, bool analysisFinished)
{
    // The count of result sections that follow, so a caller can loop over them.
    const std::string resultCount = analysisFinished ? "2" : "0";
    std::vector<TCallerEntry> entries = {
        {"General", "ProgramName", "Lamivex"},
        {"General", "ResultCount", resultCount},
        {"General", "Version", ProgramVersionText()},
    };
    if (!analysisFinished)
        return entries;
    const char* const itemNames[] = {"Contrast", "Brightness"};
    for (int i = 0; i < 2; ++i) {
        const std::string section = "Result" + std::to_string(i + 1);
        const auto [value, type] = CallerValueAndType(results, itemNames[i]);
        entries.push_back({section, "Name", itemNames[i]});
        entries.push_back({section, "Caption", itemNames[i]});
        entries.push_back({section, "Priority", "0"});
        entries.push_back({section, "Value", value});
        entries.push_back({section, "Type", type});
    }
    return entries;
}

void ReportUnwritable(const std::string& fileName, const std::string& reason)
{
    CurrentReporter().ShowLanguageMessage("LCallerResultUnwritable", {fileName, reason});
}

// Whether two names are one file: the same file on disk, or the same path once
// made absolute (for a file that is not there yet).
bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    if (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    std::error_code error;
    const auto absoluteA = std::filesystem::weakly_canonical(a, error);
    if (error)
        return false;
    const auto absoluteB = std::filesystem::weakly_canonical(b, error);
    return !error && absoluteA == absoluteB;
}

// Why the caller's result file may not be replaced; empty when it may.
std::string ReplacementRefusal(const std::string& fileName)
{
    struct stat status {};
    if (::stat(fileName.c_str(), &status) != 0)
        return {};
    if (!S_ISREG(status.st_mode))
        return "it is not a file";
    if ((status.st_mode & 0222) == 0)
        return "it is read-only";
    return {};
}

} // namespace

TInterfaceBA::TInterfaceBA(TInterfaceMode mode, std::string programFolder,
                           std::string cameraTableFile)
    : programFolder_(WithTrailingSlash(std::move(programFolder)))
    , cameraTableFile_(cameraTableFile.empty() ? programFolder_ + CameraTableFile
                                               : std::move(cameraTableFile))
{
    SetDefaults();
    mode_ = mode;
}

void TInterfaceBA::SetDefaults()
{
    if (mode_ != TInterfaceMode::miSend) {
        CurrentReporter().ShowLanguageMessage("LInterfaceValuesRefused", {});
        return;
    }
    automatic_ = false;
    result_ = false;
    resultDetail_ = false;
    resultImage_ = false;
    stoppAtEnd_ = true;
    resultRequest_ = true;
    resultFileAppend_ = false;
    resultImageDirectory_ = programFolder_;
    resultFile_ = programFolder_ + DefaultResultFile;
    resultFileDetail_ = programFolder_ + DefaultResultFileDetail;
    resultFileDB_.clear();
}

void TInterfaceBA::SetFlag(bool& flag, bool value)
{
    if (mode_ != TInterfaceMode::miSend) {
        CurrentReporter().ShowLanguageMessage("LInterfaceValueRefused", {});
        return;
    }
    flag = value;
}

void TInterfaceBA::SetAutomatic(bool value)
{
    SetFlag(automatic_, value);
}

void TInterfaceBA::SetResult(bool value)
{
    SetFlag(result_, value);
}

void TInterfaceBA::SetResultDetail(bool value)
{
    SetFlag(resultDetail_, value);
}

void TInterfaceBA::SetResultImage(bool value)
{
    SetFlag(resultImage_, value);
}

void TInterfaceBA::SetStoppAtEnd(bool value)
{
    SetFlag(stoppAtEnd_, value);
}

void TInterfaceBA::SetResultRequest(bool value)
{
    SetFlag(resultRequest_, value);
}

void TInterfaceBA::SetResultFileAppend(bool value)
{
    SetFlag(resultFileAppend_, value);
}

void TInterfaceBA::AllocateRecords(int count)
{
    const auto size = static_cast<size_t>(std::max(count, 0));
    images_.assign(size, structImage{});
    subjects_.assign(size, structSubject{});
}

structImage TInterfaceBA::GetImage(int n) const
{
    if (n < 0 || n >= Count())
        throw std::out_of_range("no image record " + std::to_string(n));
    return images_[size_t(n)];
}

structSubject TInterfaceBA::GetSubject(int n) const
{
    if (n < 0 || n >= Count())
        throw std::out_of_range("no subject record " + std::to_string(n));
    return subjects_[size_t(n)];
}

bool TInterfaceBA::ReadIni(std::span<const std::string> parameters)
{
    AllocateRecords(0);
    inputFiles_.assign(parameters.begin(), parameters.end());
    if (parameters.empty() || !FileExists(parameters.front()))
        return false;
    // Read directly, not through the writable-settings check: a caller may well hand
    // its interface file over read-only.
    const auto document = TIniDocument::Load(parameters.front());
    if (!document)
        return false;
    return ReadDocument(*document, parameters.front(), parameters.subspan(1));
}

bool TInterfaceBA::ReadInterfaceDocument(const TIniDocument& interfaceFile,
                                         std::span<const std::string> recordFiles)
{
    AllocateRecords(0);
    inputFiles_.assign(recordFiles.begin(), recordFiles.end());
    return ReadDocument(interfaceFile, {}, recordFiles);
}

bool TInterfaceBA::ReadDocument(const TIniDocument& interfaceFile, const std::string& fileName,
                                std::span<const std::string> recordFiles)
{
    if (interfaceFile.HasSection(CameraRecordSection))
        ReadCameraLayout(interfaceFile, fileName, recordFiles);
    else
        ReadGeneralLayout(interfaceFile, fileName);
    for (const structImage& image : images_)
        if (!image.ImageFileName.empty())
            inputFiles_.push_back(image.ImageFileName);
    return Count() > 0;
}

void TInterfaceBA::ReadCameraLayout(const TIniDocument& first, const std::string& fileName,
                                    std::span<const std::string> recordFiles)
{
    // Record k comes from the k-th file that exists, so a missing one shifts nothing.
    std::vector<std::string> existingFiles;
    for (const std::string& recordFile : recordFiles)
        if (FileExists(recordFile))
            existingFiles.push_back(recordFile);
    const auto count = static_cast<long long>(existingFiles.size()) + 1;
    if (!AcceptRecordCount(count, fileName))
        return;
    AllocateRecords(int(count));
    ReadCameraRecord(first, 0);
    for (size_t k = 1; k < images_.size(); ++k)
        ReadCameraRecord(LoadOrEmpty(existingFiles[k - 1]), int(k));
}

void TInterfaceBA::ReadCameraRecord(const TIniDocument& file, int k)
{
    structImage& image = images_[size_t(k)];
    structSubject& subject = subjects_[size_t(k)];
    const auto text = [&file](const char* key) {
        return ReadConfigString(file, CameraRecordSection, key, "");
    };
    ReadCameraData(image, text("Cameratype"));
    image.ImageFileName = text("filename");
    image.Date = text("Aufnahmedatum");
    subject.Name = text("Name");
    subject.Firstname = text("Vorname");
    subject.Birthdate = text("Geburtsdatum");
}

void TInterfaceBA::ReadCameraData(structImage& record, const std::string& cameraType) const
{
    record.Pp100MM = 0;
    record.ExclusionCircleRadiusInPixel = 0;
    record.ExclusionCircleX0InPixel = 0;
    record.ExclusionCircleY0InPixel = 0;
    if (cameraType.empty())
        return;
    const auto cameras = TIniDocument::Load(cameraTableFile_);
    if (!cameras || !cameras->HasSection(cameraType))
        return;
    const auto number = [&](const char* key) {
        return ReadConfigInteger(*cameras, cameraType, key, 0);
    };
    record.Pp100MM = number("Pp100MM");
    record.ExclusionCircleRadiusInPixel = number("ExclusionCircleRadiusInPixel");
    record.ExclusionCircleX0InPixel = number("ExclusionCircleX0InPixel");
    record.ExclusionCircleY0InPixel = number("ExclusionCircleY0InPixel");
}

void TInterfaceBA::ReadGeneralLayout(const TIniDocument& file, const std::string& fileName)
{
    sender_ = ReadConfigString(file, "General", "Sender", "");
    receiver_ = ReadConfigString(file, "General", "Receiver", "");
    const int count = ReadConfigInteger(file, "General", "Count", 0);
    if (AcceptRecordCount(count, fileName) && count > 0) {
        AllocateRecords(count);
        for (int n = 0; n < count; ++n)
            ReadGeneralRecord(file, n);
    }
    ReadAnalysis(file);
    ReadAdditional(file);
}

void TInterfaceBA::ReadGeneralRecord(const TIniDocument& file, int n)
{
    const std::string imageSection = "Image" + std::to_string(n);
    const std::string subjectSection = "Subject" + std::to_string(n);
    structImage& image = images_[size_t(n)];
    image.ImageFileName = ReadConfigString(file, imageSection, "Image", "");
    image.ResultFileDB = ReadConfigString(file, imageSection, "ResultFileDB", "");
    image.Date = ReadConfigString(file, imageSection, "Date", "");
    image.Time = ReadConfigString(file, imageSection, "Time", "");
    image.Pp100MM = ReadConfigInteger(file, imageSection, "Pp100MM", 0);
    image.ExclusionCircleRadiusInPixel =
        ReadConfigInteger(file, imageSection, "ExclusionCircleRadiusInPixel", 0);
    image.ExclusionCircleX0InPixel =
        ReadConfigInteger(file, imageSection, "ExclusionCircleX0InPixel", 0);
    image.ExclusionCircleY0InPixel =
        ReadConfigInteger(file, imageSection, "ExclusionCircleY0InPixel", 0);

    structSubject& subject = subjects_[size_t(n)];
    subject.Name = ReadConfigString(file, subjectSection, "Name", "");
    subject.Firstname = ReadConfigString(file, subjectSection, "Firstname", "");
    subject.Birthdate = ReadConfigString(file, subjectSection, "Birthdate", "");
}

void TInterfaceBA::ReadAnalysis(const TIniDocument& file)
{
    const auto flag = [&file](const char* key, bool defaultValue) {
        return ReadConfigBool(file, "Analysis", key, defaultValue);
    };
    automatic_ = flag("Automatic", false);
    result_ = flag("Result", false);
    resultDetail_ = flag("ResultDetail", false);
    resultImage_ = flag("ResultImage", false);
    stoppAtEnd_ = flag("StoppAtEnd", true);
    resultRequest_ = flag("ResultRequest", true);
    resultFileAppend_ = flag("ResultFileAppend", false);

    std::string directory = PathValue(file, "ResultImageDirectory", programFolder_);
    if (directory.ends_with('/'))
        directory.pop_back();
    resultImageDirectory_ = directory + "/";
    resultFile_ = InProgramFolder(PathValue(file, "ResultFile", DefaultResultFile));
    resultFileDetail_ =
        InProgramFolder(PathValue(file, "ResultFileDetail", DefaultResultFileDetail));
    const std::string database = PathValue(file, "ResultFileDB", "");
    resultFileDB_ = database.empty() ? database : InProgramFolder(database);
}

void TInterfaceBA::ReadAdditional(const TIniDocument& file)
{
    additionalNames_.clear();
    additionalValues_.clear();
    for (int k = 0;; ++k) {
        const std::string prefix = "Add" + std::to_string(k);
        std::string name = ReadConfigString(file, "Additional", prefix + "Name", "");
        if (name.empty())
            return;
        additionalNames_.push_back(std::move(name));
        additionalValues_.push_back(ReadConfigString(file, "Additional", prefix + "Value", ""));
    }
}

std::string TInterfaceBA::InProgramFolder(const std::string& fileName) const
{
    return FolderPart(fileName).empty() ? programFolder_ + fileName : fileName;
}

bool TInterfaceBA::WriteCallerResultFile(const std::string& path, const TResult& results,
                                         bool analysisFinished) const
{
    if (path.empty()) {
        CurrentReporter().ShowLanguageMessage("LCallerResultUnnamed", {});
        return false;
    }
    const std::string fileName = InProgramFolder(path);
    // The caller's own files are its input: a result written over one would destroy it.
    for (const std::string& input : inputFiles_)
        if (SameFile(fileName, input)) {
            ReportUnwritable(fileName,
                             "it is the interface file or an image it names (" + input + ")");
            return false;
        }
    TIniDocument document = TIniDocument::Parse({});
    try {
        for (const TCallerEntry& entry : CallerResultEntries(results, analysisFinished))
            document.SetValue(entry.section, entry.key, entry.value);
    } catch (const std::invalid_argument& error) {
        ReportUnwritable(fileName, error.what());
        return false;
    }
    if (const std::string reason = ReplacementRefusal(fileName); !reason.empty()) {
        ReportUnwritable(fileName, reason);
        return false;
    }
    try {
        ReplaceWholeFile(fileName, document.Serialize());
    } catch (const TSettingsError& error) {
        ReportUnwritable(fileName, error.what());
        return false;
    }
    return true;
}

} // namespace varnolux
