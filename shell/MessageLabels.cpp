#include "shell/MessageLabels.h"

#include "base/Messages.h"

namespace varnolux {

namespace {

constexpr std::string_view General = "l";
constexpr std::string_view Dialogs = "Dialogs";
constexpr std::string_view Messages = "VarnoluxMessages";

constexpr TMessageGroup Groups[] = {
    {"GroupBoxL", General},
    {"GroupBoxDialogs", Dialogs},
    {"GroupBoxVarnoluxMessages", Messages},
};

// The core's messages keep their text in the core, which shows them without a
// language form too. The other labels are the desktop program's messages and texts
// for dialogs and steps that the language files may still carry.
constexpr TMessageLabel Labels[] = {
    {"TrueColor", General, "Please set the display to true colour (24 bits per pixel)."},
    {"InternalError1", General, "An internal error occurred."},
    {"NoImage", General, "No image loaded."},
    {"FMemoryStream", General, "The image could not be copied into memory."},
    {"LZoom", General, "Zoom"},
    {"LBildschirmAufloesung", General, "The screen resolution is too low for this program."},
    {"LBildschirmAufloesung86", General,
     "The screen's text size differs from the layout's; some texts may not fit."},
    {"SettingsBrightCompare", General, "Brightness comparison"},
    {"SettingsSizeCompare", General, "Size comparison"},
    {"SettinigsBackgroundMedian", General, "Median of the background"},
    {"SettingsFilterMean", General, "Mean filter"},
    {"SettingsExclDiameter", General, "Exclusion diameter"},
    {"SettingsExclForm", General, "Exclusion by shape"},
    {"SettingsMaxForm", General, "Maximum shape factor"},
    {"SettingsThres", General, "Threshold"},
    {"SettingsThresForm", General, "Shape threshold"},
    {"MinExclRect", General, "Minimum excluded rectangle"},
    {"SettingsFormCompare", General, "Shape comparison"},
    {"LabelStepAnaBackground", General, "Analysing the background"},
    {"LabelStepRegionsThres", General, "Thresholding the regions"},
    {"LabelStepSeparationObjects", General, "Separating the objects"},
    {"LabelStepOptionsSize", General, "Applying the size options"},
    {"LabelStepBright", General, "Analysing the brightness"},
    {"SettingsMaxSize", General, "Maximum size"},
    {"LabelStepForm", General, "Analysing the shapes"},
    {"LabelSmallImageOptionAna", General, "The image is small. Please check the analysis options."},
    {"LInclusionExclusionCorrection", General,
     "The inclusion circle and the excluded borders were corrected to fit the image."},
    {"LWarnSmallAnaRegion", General, "The analysis area is very small."},
    {"MessageSelectedLesionTooSmall", General, "The selected region is too small."},
    {"LabelWaterShedPercentile", General, "Watershed percentile"},
    {"LabeGeneralOptionslMinMax", General, "Minimum and maximum"},
    {"Label4", General, "Label4"},
    {"Label5", General, "Label5"},

    {"OptionsIniTempWrong", Dialogs, "The temporary options file is not valid."},
    {"SettingsReservedFileName", Dialogs,
     "The file %s holds the program's own settings. Please choose another name for the "
     "options."},
    {"LResultFileMissing", Dialogs, "No result file is defined."},
    {"LLoadOptionsError", Dialogs, "The options file could not be loaded."},
    {"LNoDefaultOptionFile", Dialogs,
     "The default options file %s holds no options. The built-in options are used."},
    {"LUseLastOptions", Dialogs, "Use the last options?"},
    {"LOptSaveErrorFileNotExist", Dialogs, "The options could not be saved to %s: %s."},
    {"LResultFileDetailMissing", Dialogs, "No file for the detailed results is defined."},
    {"LSaveResult", Dialogs,
     "The result could not be saved to %s. The file may be read-only or open in another "
     "program, or the disk may be full."},
    {"LSaveImageError", Dialogs, "The analysed image could not be saved to %s: %s"},
    {"MessageStopAnalysisOptionFileError", Dialogs,
     "The analysis was stopped because the options file is not valid."},
    {"LSaveFileExtension", Dialogs, "Please choose a file name with a known extension."},
    {"LabelPrnTemplateNotFound", Dialogs, {}},
    {"DefaultSaveOptions", Dialogs, "Save the options as the default options?"},
    {"DSaveOptions", Dialogs, "Save the options?"},
    {"MessageLoadOptionsImageCorrect", Dialogs,
     "The options were loaded. Please check that they suit the image."},
    {"LResultFolderNotCreated", Dialogs, "The folder %s could not be created: %s."},
    {"LResultSaved", Dialogs, "Result line appended to %s"},
    {"LRegionsSaved", Dialogs, "%s regions appended to %s"},
    {"LSaveRegions", Dialogs, "The regions could not be saved to %s."},
    {"LOptionsSaved", Dialogs, "Options saved to %s"},
    {"LImageSaved", Dialogs, "Analysed image saved to %s (%s)"},
    // Help -> web page and images handed over by a later start.
    {"LWebPageInvalid", Dialogs,
     "The web page %s in the program settings %s is not an http or https address."},
    {"LImageNotOpenedNow", Dialogs,
     "The image %s was not opened: the program is busy, waits for an answer, or works "
     "for a calling program. Open it with File -> Open when it is free."},
    // The main window's options files, manual and calling programs.
    {"LFileNotCreated", Dialogs, "the file cannot be created"},
    {"LFileReadOnly", Dialogs, "the file is read-only"},
    {"LManualNotInstalled", Dialogs, "The manual %s is not installed."},
    {"LInterfaceFileUnusable", Dialogs, "The interface file %s cannot be used: %s."},
    {"LInterfaceNotRobot", Dialogs,
     "The interface file %s asks for an automatic run by the sender \"%s\"; only \"%s\" "
     "runs by itself."},
    {"LUnsupportedImageType", Dialogs, "Unsupported image type: %s"},
    // The printed report and its template.
    {"LPrintError", Dialogs, "The report could not be printed on %s."},
    {"LTemplateSaveError", Dialogs, "The print template could not be saved to %s: %s."},
    {"LTemplateChanged", Dialogs, "The print template has been changed. Save it?"},
    // The names of the file types in file dialogs.
    {"LFilterTextFiles", Dialogs, "Text files"},
    {"LFilterOptionFiles", Dialogs, "Option file"},
    {"LFilterAllImages", Dialogs, "All images"},
    {"LFilterAllFiles", Dialogs, "All files"},

    {"FileNotFound", Messages, {}},
    {"MessageInvalidNumber", Messages, {}},
    {"NoFloat", Messages, {}},
    {"LabelInvalidValueTrackBarPositionFromLabeledEdit", Messages, {}},
    {"LabelMinimalAreaInvalid", Messages, {}},
    {"LabelInvalidMeasure", Messages, {}},
    {"LabelDefineResultFile", Messages, {}},
    {"LabelDefineResultFilePath", Messages, {}},
    {"LabelColorRegionsNotSet", Messages, {}},
    {"InvalidOptionFile", Messages, {}},
    {"LImageExtensionNotRead", Messages, {}},
    {"LUnrecognizedFileFormat", Messages, {}},
    {"LFileHeaderMismatch", Messages, {}},
    {"LImageFileNotRead", Messages, {}},
    {"LConvertedFileNotRead", Messages, {}},
    {"LTempCopyNotWritten", Messages, {}},
    {"LDicomToolMissing", Messages, {}},
    {"LDicomFrames", Messages, {}},
    {"LDicomToolFailed", Messages, {}},
    {"LDicomNoImage", Messages, {}},
    {"LDicomConversionFailed", Messages, {}},
    {"LCannotOpenImage", Messages, {}},
    {"LCannotAnalyseImage", Messages, {}},
    {"LNoMemoryToOpen", Messages, {}},
    {"LNoMemoryToAnalyse", Messages, {}},
    {"LNoMemoryToPaintChannels", Messages, {}},
    {"LInvalidOptionValue", Messages, {}},
    {"LInterfaceImageCountNegative", Messages, {}},
    {"LInterfaceImageCountTooLarge", Messages, {}},
    {"LInterfaceValueRefused", Messages, {}},
    {"LInterfaceValuesRefused", Messages, {}},
    {"LCallerResultUnnamed", Messages, {}},
    {"LCallerResultUnwritable", Messages, {}},
    {"LBatchOptionsFileUnusable", Messages, {}},
    {"LBatchJobsNotStarted", Messages, {}},
    {"LBatchResultNotAppended", Messages, {}},
    {"LBatchRegionsNotAppended", Messages, {}},
    {"LBatchReportNotWritten", Messages, {}},
    {"LBatchNoMemory", Messages, {}},
    {"LBatchOutputFailed", Messages, {}},
    {"LabelFieldHMin", Messages, {}},
    {"LabelFieldHMax", Messages, {}},
    {"LabelFieldSMin", Messages, {}},
    {"LabelFieldSMax", Messages, {}},
    {"LabelFieldVMin", Messages, {}},
    {"LabelFieldVMax", Messages, {}},
};

} // namespace

std::span<const TMessageGroup> MessageGroups()
{
    return Groups;
}

std::span<const TMessageLabel> MessageLabels()
{
    return Labels;
}

std::string LayoutText(const TMessageLabel& label)
{
    return label.text.empty() ? DefaultMessageText(label.name) : std::string(label.text);
}

} // namespace varnolux
