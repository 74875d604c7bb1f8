#include "base/Messages.h"

#include <cstdio>
#include <mutex>
#include <string_view>
#include <utility>

namespace varnolux {

namespace {

struct TDefaultMessage {
    std::string_view label;
    std::string_view text;
};

constexpr TDefaultMessage DefaultMessages[] = {
    {"FileNotFound", "File %s not found."},
    {"MessageInvalidNumber", "Invalid number"},
    {"NoFloat", "Keine gültige Gleitkommazahl"},
    {"LabelInvalidValueTrackBarPositionFromLabeledEdit",
     "Invalid value %s - value will be replaced by position of trackbar"},
    {"LabelMinimalAreaInvalid",
     "Invalid minimal area - will be set to 0.0. Please correct in options."},
    {"LabelInvalidMeasure", "Invalid measure - will be set to 1. Please correct."},
    {"LabelDefineResultFile", "Please define result file in options before saving a result"},
    {"LabelDefineResultFilePath", "Fehler beim Speichern der Ergebnisdatei: Der Pfad \"%s\" "
                                  "existiert nicht. Soll er angelegt werden?"},
    {"LabelColorRegionsNotSet", "Color region can not be set"},
    {"InvalidOptionFile", "InvalidOptionFile"},
    {"LabelPrnTemplateNotFound",
     "The print template %s cannot be used (%s). The built-in template is used instead."},
    // Reading images, DICOM files included.
    {"LImageExtensionNotRead", "Image with this extension can not be read"},
    {"LUnrecognizedFileFormat", "\"%s\" : Unrecognized file format. File may be damaged."},
    {"LFileHeaderMismatch", "\"%s\" File header does not match file extension!"},
    {"LImageFileNotRead", "\"%s\" : The file cannot be read: %s"},
    {"LConvertedFileNotRead", "\"%s\" : The converted file cannot be read: %s"},
    {"LTempCopyNotWritten", "\"%s\" : cannot write its temporary copy %s: %s"},
    {"LDicomToolMissing", "Datei %s fehlt zum Auslesen von DICOM-Dateien."},
    {"LDicomFrames", "Die DICOM-Datei enthält %s Bilder."},
    {"LDicomToolFailed", "\"%s\" : %s cannot read the file: %s"},
    {"LDicomNoImage", "\"%s\" : The DICOM file holds no image (no samples per pixel)."},
    {"LDicomConversionFailed", "\"%s\" : %s"},
    // Opening and analysing.
    {"LCannotOpenImage", "Cannot open %s: %s"},
    {"LCannotAnalyseImage", "Cannot analyse %s: %s"},
    {"LNoMemoryToOpen",
     "Not enough memory to open %s. Close other programs or use a smaller image."},
    {"LNoMemoryToAnalyse",
     "Not enough memory to analyse %s. Close other programs or use a smaller image."},
    {"LNoMemoryToPaintChannels",
     "Not enough memory to paint the channel images of %s. Close other programs or use a "
     "smaller image."},
    {"LInvalidOptionValue",
     "Invalid value %s=%s - not a whole number from -2147483648 to 2147483647; %s is used."},
    // The calling program's interface file.
    {"LInterfaceImageCountNegative",
     "The interface file %s gives the image count %s; no images are taken from it."},
    {"LInterfaceImageCountTooLarge", "The interface file %s hands over %s images, more than the "
                                     "%s one start can take; no images are taken from it."},
    {"LInterfaceValueRefused",
     "Wert kann nicht gesetzt werden. (Wert kann nur im Modus 'miSend' gesetzt werden"},
    {"LInterfaceValuesRefused",
     "Werte können nicht gesetzt werden. (Wert kann nur im Modus 'miSend' gesetzt werden"},
    {"LCallerResultUnnamed", "The result file for the calling program has no name."},
    {"LCallerResultUnwritable", "The result file for the calling program %s cannot be written: %s"},
    // The batch command.
    {"LBatchOptionsFileUnusable", "the options file %s cannot be used: %s"},
    {"LBatchJobsNotStarted",
     "only %s of %s jobs could be started (%s); the images are analysed with %s"},
    {"LBatchResultNotAppended", "the result could not be appended to %s: %s"},
    {"LBatchRegionsNotAppended", "the regions could not be appended to %s: %s"},
    {"LBatchReportNotWritten", "the report could not be written to %s: %s"},
    {"LBatchNoMemory", "not enough memory to go on"},
    {"LBatchOutputFailed",
     "cannot write standard output (%s); the other images are still analysed"},
    // The names of the colour-range fields in messages.
    {"LabelFieldHMin", "Farbton Min"},
    {"LabelFieldHMax", "Farbton Max"},
    {"LabelFieldSMin", "Sättigung Min"},
    {"LabelFieldSMax", "Sättigung Max"},
    {"LabelFieldVMin", "Helligkeit Min"},
    {"LabelFieldVMax", "Helligkeit Max"},
};

thread_local TReporter* threadReporter = nullptr;

std::string OneLine(const std::string& text)
{
    std::string line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            // A CR LF pair, or a run of line breaks, becomes one space.
            if (!line.empty() && line.back() != ' ')
                line += ' ';
            continue;
        }
        line += c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

} // namespace

std::string DefaultMessageText(std::string_view label)
{
    for (const auto& message : DefaultMessages)
        if (message.label == label)
            return std::string(message.text);
    return std::string(label);
}

std::string FormatMessage(std::string_view format, const std::vector<std::string>& args)
{
    std::string text;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
            if (next < args.size())
                text += args[next];
            ++next;
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

void TReporter::ShowLanguageMessage(std::string_view label, const std::vector<std::string>& args)
{
    ShowMessage(FormatMessage(LanguageMessageText(label), args));
}

std::string TReporter::LanguageMessageText(std::string_view label)
{
    return DefaultMessageText(label);
}

void TMessageList::ShowMessage(const std::string& text)
{
    messages_.push_back({{}, {text}});
}

void TMessageList::ShowLanguageMessage(std::string_view label, const std::vector<std::string>& args)
{
    messages_.push_back({std::string(label), args});
}

std::vector<TMessage> TMessageList::Take()
{
    return std::exchange(messages_, {});
}

void ShowMessages(TReporter& reporter, const std::vector<TMessage>& messages)
{
    for (const TMessage& message : messages)
        if (message.Label.empty())
            reporter.ShowMessage(message.Args.empty() ? std::string() : message.Args.front());
        else
            reporter.ShowLanguageMessage(message.Label, message.Args);
}

void TStderrReporter::ShowMessage(const std::string& text)
{
    WriteLine((context_.empty() ? std::string() : context_ + ": ") + OneLine(text));
}

void TStderrReporter::WriteLine(const std::string& line)
{
    static std::mutex outputMutex;
    const std::lock_guard lock(outputMutex);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

TReporter& CurrentReporter()
{
    static TStderrReporter processReporter;
    return threadReporter ? *threadReporter : processReporter;
}

TScopedReporter::TScopedReporter(TReporter& reporter)
    : previous_(threadReporter)
{
    threadReporter = &reporter;
}

TScopedReporter::~TScopedReporter()
{
    threadReporter = previous_;
}

} // namespace varnolux
