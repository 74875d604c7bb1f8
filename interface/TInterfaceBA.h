#pragma once

#include "base/Paths.h"
#include "results/TResult.h"
#include "settings/IniDocument.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace varnolux {

/// miSend: the object is filled by a program that writes an interface file, so the
/// setters work. miReceive: the object only takes what the file says.
enum class TInterfaceMode { miSend, miReceive };

/// One image handed over by the calling program.
struct structImage {
    std::string ImageFileName;
    std::string Date;
    std::string Time;
    std::int32_t Pp100MM = -1;
    std::int32_t ExclusionCircleRadiusInPixel = -1;
    std::int32_t ExclusionCircleX0InPixel = -1;
    std::int32_t ExclusionCircleY0InPixel = -1;
    /// Where the calling program wants its result file for this image.
    std::string ResultFileDB;
};

/// The person an image shows.
struct structSubject {
    std::string Name;
    std::string Firstname;
    std::string Birthdate;
};

/// The interface file another program starts us with: its images, subjects and the
/// options of an automatic run, and the result file written back at the end.
class TInterfaceBA {
public:
    /// More records than this in one interface file are refused as absurd.
    static constexpr int MaxRecordCount = 1000;

    /// programFolder (with its trailing "/") is where the defaults and relative file
    /// names point; the camera table is cameraTableFile, "Camera.ini" in that folder
    /// when none is given.
    explicit TInterfaceBA(TInterfaceMode mode, std::string programFolder = ProgramFolder(),
                          std::string cameraTableFile = {});

    TInterfaceMode Mode() const { return mode_; }

    /// Sets the seven flags and the result files to their start values; in miReceive
    /// mode only shows a message.
    void SetDefaults();

    bool Automatic() const { return automatic_; }
    bool Result() const { return result_; }
    bool ResultDetail() const { return resultDetail_; }
    bool ResultImage() const { return resultImage_; }
    bool StoppAtEnd() const { return stoppAtEnd_; }
    bool ResultRequest() const { return resultRequest_; }
    bool ResultFileAppend() const { return resultFileAppend_; }

    /// Each setter changes its flag in miSend mode only; in miReceive mode it shows a
    /// message and changes nothing.
    void SetAutomatic(bool value);
    void SetResult(bool value);
    void SetResultDetail(bool value);
    void SetResultImage(bool value);
    void SetStoppAtEnd(bool value);
    void SetResultRequest(bool value);
    void SetResultFileAppend(bool value);

    /// Always ends with "/".
    const std::string& ResultImageDirectory() const { return resultImageDirectory_; }
    const std::string& ResultFile() const { return resultFile_; }
    const std::string& ResultFileDetail() const { return resultFileDetail_; }
    const std::string& ResultFileDB() const { return resultFileDB_; }

    const std::string& Sender() const { return sender_; }
    const std::string& Receiver() const { return receiver_; }

    /// The number of image records, and as many subject records.
    int Count() const { return int(images_.size()); }

    /// Replaces both record lists by count fresh records (none for a count below 1).
    void AllocateRecords(int count);

    /// Copies of record n; throws std::out_of_range unless 0 <= n < Count().
    structImage GetImage(int n) const;
    structSubject GetSubject(int n) const;

    const std::vector<std::string>& AdditionalNames() const { return additionalNames_; }
    const std::vector<std::string>& AdditionalValues() const { return additionalValues_; }

    /// Reads the interface file named by the first of the command-line parameters
    /// (those after the program name); further parameters are more camera record
    /// files. True when at least one image record was read. A missing first
    /// parameter or file leaves the object as it was, without records.
    bool ReadIni(std::span<const std::string> parameters);

    /// The same on an interface file already in memory; recordFiles are the camera
    /// record files after it. Never touches files other than those and "Camera.ini".
    bool ReadInterfaceDocument(const TIniDocument& interfaceFile,
                               std::span<const std::string> recordFiles = {});

    /// Sets the record's camera values to 0, then to those of the camera type's
    /// section of the camera table when there is one.
    void ReadCameraData(structImage& record, const std::string& cameraType) const;

    /// Writes the result file for the calling program, replacing whatever it held:
    /// the program's name and version, and when analysisFinished also the items
    /// "Contrast" and "Brightness" of results. A file name without a folder goes into
    /// the program folder. The file is written under a temporary name and renamed, so
    /// a caller never reads half of it. False after a message when it cannot be
    /// written, or when it names the interface file, a camera record file or an
    /// image handed over: those are never written.
    bool WriteCallerResultFile(const std::string& path, const TResult& results,
                               bool analysisFinished) const;

private:
    void SetFlag(bool& flag, bool value);
    bool ReadDocument(const TIniDocument& interfaceFile, const std::string& fileName,
                      std::span<const std::string> recordFiles);
    void ReadCameraLayout(const TIniDocument& first, const std::string& fileName,
                          std::span<const std::string> recordFiles);
    void ReadCameraRecord(const TIniDocument& file, int k);
    void ReadGeneralLayout(const TIniDocument& file, const std::string& fileName);
    void ReadGeneralRecord(const TIniDocument& file, int n);
    void ReadAnalysis(const TIniDocument& file);
    void ReadAdditional(const TIniDocument& file);
    std::string InProgramFolder(const std::string& fileName) const;

    TInterfaceMode mode_ = TInterfaceMode::miSend;
    std::string programFolder_;
    std::string cameraTableFile_;

    bool automatic_ = false;
    bool result_ = false;
    bool resultDetail_ = false;
    bool resultImage_ = false;
    bool stoppAtEnd_ = true;
    bool resultRequest_ = true;
    bool resultFileAppend_ = false;
    std::string resultImageDirectory_;
    std::string resultFile_;
    std::string resultFileDetail_;
    std::string resultFileDB_;

    std::string sender_;
    std::string receiver_;
    std::vector<structImage> images_;
    std::vector<structSubject> subjects_;
    std::vector<std::string> additionalNames_;
    std::vector<std::string> additionalValues_;
    /// The files the calling program handed over: interface and record files, images.
    std::vector<std::string> inputFiles_;
};

} // namespace varnolux
