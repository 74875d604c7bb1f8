#include "analysis/TResultVerifier.h"

#include "imaging/BmpFile.h"
#include "results/ShaFingerprint.h"
#include "support/Pictures.h"
#include "support/RecordingReporter.h"
#include "support/TempFolder.h"

#include <clocale>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <malloc.h>

namespace varnolux {
namespace {

using test::ReadFile;
using test::WriteFile;

const std::vector<std::string>& Objects = test::ObjectRows;

/// Selects the red pixels, as an options file would say it.
TAnalysisSettings RedOptions(const char* minRegion = "2",
                             const std::function<void(TOptions&)>& change = {})
{
    TOptions options = TOptions::Initial();
    options.rangeTexts = {"0", "10", "100", "255", "0", "255"};
    options.EditMinRegion = minRegion;
    if (change)
        change(options);
    TAnalysisSettings settings;
    ApplyOptions(settings, options);
    return settings;
}

TVerifySettings WithOptions(TAnalysisSettings options, bool reanalyse = false)
{
    TVerifySettings settings;
    settings.Options = std::move(options);
    settings.OptionsName = "red.ini";
    settings.Reanalyse = reanalyse;
    return settings;
}

/// A folder with images and a result file of their analyses.
class TResultFileScene {
public:
    std::string Image(const std::string& name, const std::vector<std::string>& rows = Objects)
    {
        const std::string fileName = folder.File(name);
        WriteBmpFile(test::Picture(rows), fileName);
        return fileName;
    }

    /// Analyses the image and appends its line to the result file.
    void Save(const std::string& image, const TAnalysisSettings& options = RedOptions())
    {
        ASSERT_TRUE(engine.LoadImage(image).Loaded);
        const TAnalysisResult run = engine.Run(options);
        ASSERT_TRUE(run.Complete);
        ASSERT_TRUE(run.Items.SaveToFile(resultFile));
    }

    /// Changes one field of a value line (1 the first after the header).
    void ChangeField(std::size_t line, const std::string& item, const std::string& text)
    {
        std::vector<std::string> lines = Lines();
        const std::vector<std::string> names = SplitResultFields(lines[0]);
        std::vector<std::string> fields = SplitResultFields(lines.at(line));
        const auto at = std::find(names.begin(), names.end(), item) - names.begin();
        fields.at(std::size_t(at)) = text;
        lines[line].clear();
        for (const std::string& field : fields)
            lines[line] += (lines[line].empty() ? "" : "\t") + field;
        WriteLines(lines);
    }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        const std::string text = ReadFile(resultFile);
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = text.find("\r\n", start);
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

    void WriteLines(const std::vector<std::string>& lines) const
    {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        WriteFile(resultFile, text);
    }

    struct TOutcome {
        std::vector<TLineVerdict> verdicts;
        std::vector<double> progress;
        TVerifySummary summary;
    };

    TOutcome Verify(TVerifySettings settings = {}) const
    {
        TOutcome outcome;
        TResultVerifier verifier(resultFile, std::move(settings));
        outcome.summary = verifier.Run([&](const TLineVerdict& verdict, double progress) {
            outcome.verdicts.push_back(verdict);
            outcome.progress.push_back(progress);
        });
        return outcome;
    }

    test::TempFolder folder;
    test::RecordingReporter reporter;
    TAnalysis engine;
    const std::string resultFile = folder.File("results.txt");
};

std::vector<TFindingKind> Kinds(const TLineVerdict& verdict)
{
    std::vector<TFindingKind> kinds;
    for (const TFinding& finding : verdict.Findings)
        kinds.push_back(finding.Kind);
    return kinds;
}

TEST(TResultVerifier, AFileAsSavedVerifiesClean)
{
    TResultFileScene scene;
    scene.Save(scene.Image("objects.bmp"));
    scene.Save(scene.Image("more.bmp", {"rr.....", "rr..rr.", "...rr.."}));
    for (const TVerifySettings& settings :
         {TVerifySettings{}, WithOptions(RedOptions()), WithOptions(RedOptions(), true)}) {
        const auto outcome = scene.Verify(settings);
        ASSERT_EQ(outcome.verdicts.size(), 2u);
        EXPECT_EQ(outcome.verdicts[0].Line, 2u);
        EXPECT_EQ(outcome.verdicts[1].Line, 3u);
        EXPECT_EQ(outcome.verdicts[1].ImageFile, scene.folder.File("more.bmp"));
        for (const TLineVerdict& verdict : outcome.verdicts)
            EXPECT_TRUE(verdict.Ok()) << VerdictText(verdict);
        EXPECT_EQ(outcome.summary.Lines, 2u);
        EXPECT_TRUE(outcome.summary.AllOk());
        EXPECT_EQ(outcome.progress.back(), 1.0);
    }
    EXPECT_TRUE(scene.reporter.messages.empty());
}

TEST(TResultVerifier, EachKindOfFindingIsNamed)
{
    struct TCase {
        const char* what;
        std::function<void(TResultFileScene&)> change;
        TFindingKind kind;
        std::vector<std::string> arguments;
        TVerifySettings settings = {};
    };
    const std::string image = "objects.bmp";
    const TCase cases[] = {
        {"a digit changed in Area",
         [](TResultFileScene& scene) { scene.ChangeField(1, "Area", "11.35"); },
         TFindingKind::Edited,
         {}},
        {"the image rewritten with one pixel changed",
         [](TResultFileScene& scene) {
             std::vector<std::string> rows = Objects;
             rows[7][19] = 'w';
             scene.Image("objects.bmp", rows);
         },
         TFindingKind::ImageChanged,
         {"objects.bmp"}},
        {"the image removed",
         [](TResultFileScene& scene) { std::filesystem::remove(scene.folder.File("objects.bmp")); },
         TFindingKind::ImageMissing,
         {"objects.bmp"}},
        {"a folder in the image's place",
         [](TResultFileScene& scene) {
             std::filesystem::remove(scene.folder.File("objects.bmp"));
             std::filesystem::create_directory(scene.folder.File("objects.bmp"));
         },
         TFindingKind::ImageUnreadable,
         {"objects.bmp", "Is a directory"}},
        {"options with another minimum size",
         [](TResultFileScene&) {},
         TFindingKind::OtherOptions,
         {"red.ini"},
         WithOptions(RedOptions("3"))},
        {"a line with 22 fields",
         [](TResultFileScene& scene) {
             std::vector<std::string> lines = scene.Lines();
             lines[1].erase(lines[1].rfind('\t'));
             scene.WriteLines(lines);
         },
         TFindingKind::FieldCount,
         {"22", "23"}},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.what);
        TResultFileScene scene;
        scene.Save(scene.Image(image));
        test.change(scene);
        const auto outcome = scene.Verify(test.settings);
        ASSERT_EQ(outcome.verdicts.size(), 1u);
        const TLineVerdict& verdict = outcome.verdicts[0];
        EXPECT_EQ(Kinds(verdict), std::vector{test.kind}) << VerdictText(verdict);
        if (verdict.Findings.empty())
            continue;
        std::vector<std::string> arguments = test.arguments;
        if (!arguments.empty() && arguments[0] == image)
            arguments[0] = scene.folder.File(image);
        EXPECT_EQ(verdict.Findings[0].Arguments, arguments);
        EXPECT_EQ(outcome.summary.Count(CategoryOf(test.kind)), 1u);
        EXPECT_EQ(outcome.summary.Ok, 0u);
    }
}

TEST(TResultVerifier, LinesThatAreNoResultLines)
{
    TResultFileScene scene;
    scene.Save(scene.Image("objects.bmp"));
    std::vector<std::string> lines = scene.Lines();
    const std::string header = lines[0];
    const std::string value = lines[1];
    scene.WriteLines({header, value, header, "", std::string(70000, '7'), value});
    const auto outcome = scene.Verify();
    ASSERT_EQ(outcome.verdicts.size(), 5u);
    EXPECT_TRUE(outcome.verdicts[0].Ok());
    EXPECT_EQ(Kinds(outcome.verdicts[1]), std::vector{TFindingKind::HeaderLine});
    EXPECT_EQ(Kinds(outcome.verdicts[2]), std::vector{TFindingKind::EmptyLine});
    EXPECT_EQ(Kinds(outcome.verdicts[3]), std::vector{TFindingKind::LineTooLong});
    EXPECT_TRUE(outcome.verdicts[4].Ok());
    EXPECT_EQ(outcome.verdicts[4].Line, 6u);
    EXPECT_EQ(outcome.summary.Count(TFindingCategory::Malformed), 3u);
    EXPECT_EQ(outcome.verdicts[2].ImageFile, "");
}

TEST(TResultVerifier, AnalysingAgainFindsWhatTheFingerprintDoesNotCover)
{
    TResultFileScene scene;
    scene.Save(scene.Image("objects.bmp"));
    scene.Save(scene.Image("more.bmp", {"rr.....", "rr..rr.", "...rr.."}));
    // VMax and Unit are outside SHAResult; a forger may also make SHAResult anew.
    scene.ChangeField(1, "VMax", "200");
    scene.ChangeField(1, "Unit", "mm");
    std::vector<std::string> lines = scene.Lines();
    TResult forged;
    const auto names = SplitResultFields(lines[0]);
    const auto fields = SplitResultFields(lines[2]);
    for (std::size_t i = 0; i < names.size(); ++i)
        forged.AddString(names[i], fields[i]);
    forged.AddString("Area", "99");
    forged.AddString("SHAResult", ResultFingerprint(forged));
    lines[2] = forged.ValueLine();
    scene.WriteLines(lines);

    EXPECT_TRUE(scene.Verify(WithOptions(RedOptions())).summary.AllOk());
    const auto outcome = scene.Verify(WithOptions(RedOptions(), true));
    ASSERT_EQ(outcome.verdicts.size(), 2u);
    const std::vector<std::vector<TItemDifference>> expected = {
        {{"Unit", "mm", "cm"}, {"VMax", "200", "255"}},
        {{"Area", "99", fields[7]}, {"SHAResult", forged.GetValueText("SHAResult"), fields[22]}}};
    for (std::size_t i = 0; i < 2; ++i) {
        const TLineVerdict& verdict = outcome.verdicts[i];
        ASSERT_EQ(Kinds(verdict), std::vector{TFindingKind::NotReproduced}) << VerdictText(verdict);
        const auto& differences = verdict.Findings[0].Differences;
        ASSERT_EQ(differences.size(), expected[i].size());
        for (std::size_t d = 0; d < differences.size(); ++d) {
            EXPECT_EQ(differences[d].Item, expected[i][d].Item);
            EXPECT_EQ(differences[d].Stored, expected[i][d].Stored);
            EXPECT_EQ(differences[d].Found, expected[i][d].Found);
        }
    }
    EXPECT_EQ(VerdictText(outcome.verdicts[0]),
              "2: not reproduced: Unit mm (now cm), VMax 200 (now 255)");
}

/// Sets the numeric locale while it lives.
class TNumericLocale {
public:
    explicit TNumericLocale(const char* name)
        : previous_(std::setlocale(LC_NUMERIC, nullptr))
        , set_(std::setlocale(LC_NUMERIC, name) != nullptr)
    {
    }
    ~TNumericLocale() { std::setlocale(LC_NUMERIC, previous_.c_str()); }
    bool IsSet() const { return set_; }

private:
    std::string previous_;
    bool set_;
};

TEST(TResultVerifier, EitherDecimalSeparatorAsWritten)
{
    for (const auto& [written, verified] :
         {std::pair{"de_DE.UTF-8", "C"}, std::pair{"C", "de_DE.UTF-8"}}) {
        SCOPED_TRACE(written);
        TResultFileScene scene;
        {
            const TNumericLocale locale(written);
            if (!locale.IsSet())
                GTEST_SKIP() << written << " is not installed";
            scene.Save(scene.Image("objects.bmp"));
        }
        // LF line ends, as an editor or another system may leave them.
        std::string text = ReadFile(scene.resultFile);
        std::erase(text, '\r');
        WriteFile(scene.resultFile, text);
        EXPECT_NE(text.find(written == std::string("C") ? "\t11.25\t" : "\t11,25\t"),
                  std::string::npos);

        const TNumericLocale locale(verified);
        ASSERT_TRUE(locale.IsSet());
        const auto outcome = scene.Verify(WithOptions(RedOptions(), true));
        ASSERT_EQ(outcome.verdicts.size(), 1u);
        EXPECT_TRUE(outcome.verdicts[0].Ok()) << VerdictText(outcome.verdicts[0]);
    }
}

TEST(TResultVerifier, OptionsARunCorrectedForItsImage)
{
    // Borders of 12 + 12 do not fit the 20 pixels of the small image: its run stored
    // them as 0. They fit the large image, whose run kept them.
    const TAnalysisSettings borders = RedOptions("2", [](TOptions& options) {
        options.lUseExclRect = true;
        options.iExclRectLeft = options.iExclRectRight = 12;
    });
    const TAnalysisSettings noBorders =
        RedOptions("2", [](TOptions& options) { options.lUseExclRect = true; });
    TResultFileScene scene;
    std::vector<std::string> wide;
    for (const std::string& row : Objects)
        wide.push_back(row + row);
    scene.Save(scene.Image("small.bmp"), borders);
    scene.Save(scene.Image("large.bmp", wide), borders);
    scene.Save(scene.Image("large.bmp", wide), noBorders);
    ASSERT_FALSE(scene.reporter.messages.empty()) << "the borders did not fit";

    for (const bool reanalyse : {false, true}) {
        const auto outcome = scene.Verify(WithOptions(borders, reanalyse));
        ASSERT_EQ(outcome.verdicts.size(), 3u);
        EXPECT_TRUE(outcome.verdicts[0].Ok()) << VerdictText(outcome.verdicts[0]);
        EXPECT_TRUE(outcome.verdicts[1].Ok()) << VerdictText(outcome.verdicts[1]);
        // Made without borders, which these options would have kept for this image.
        EXPECT_EQ(Kinds(outcome.verdicts[2]), std::vector{TFindingKind::OtherOptions});
    }
}

TEST(TResultVerifier, ParallelJobsKeepTheFileOrder)
{
    TResultFileScene scene;
    const std::string images[] = {scene.Image("a.bmp"),
                                  scene.Image("b.bmp", {"rr.....", "rr..rr.", "...rr.."}),
                                  scene.Image("c.bmp", {"r.r", ".r.", "r.r"})};
    for (int i = 0; i < 60; ++i)
        scene.Save(images[i % 3]);
    for (std::size_t line = 1; line <= 60; line += 7)
        scene.ChangeField(line, "Count", "7");
    std::filesystem::remove(images[2]);

    std::vector<std::string> expected;
    for (const int jobs : {1, 4}) {
        TVerifySettings settings = WithOptions(RedOptions(), true);
        settings.Jobs = jobs;
        const auto outcome = scene.Verify(settings);
        std::vector<std::string> texts;
        for (const TLineVerdict& verdict : outcome.verdicts)
            texts.push_back(VerdictText(verdict));
        if (expected.empty())
            expected = texts;
        EXPECT_EQ(texts, expected) << jobs << " jobs";
        EXPECT_TRUE(std::ranges::is_sorted(outcome.progress));
        EXPECT_EQ(outcome.summary.Lines, 60u);
        EXPECT_EQ(outcome.summary.Count(TFindingCategory::Edited), 9u);
        EXPECT_EQ(outcome.summary.Count(TFindingCategory::ImageMissing), 20u);
        EXPECT_EQ(outcome.summary.Count(TFindingCategory::NotReproduced), 6u);
    }
    ASSERT_EQ(expected.size(), 60u);
    EXPECT_EQ(expected[0], "2: edited: the values were changed after saving; not reproduced: "
                           "Count 7 (now 2)");
    EXPECT_EQ(expected[1], "3: ok");
    EXPECT_EQ(expected[2], "4: image missing: " + images[2]);
}

TEST(TResultVerifier, ACancelledRunStopsInOrder)
{
    TResultFileScene scene;
    const std::string image = scene.Image("a.bmp");
    for (int i = 0; i < 40; ++i)
        scene.Save(image);
    for (const int jobs : {1, 3}) {
        TVerifySettings settings;
        settings.Jobs = jobs;
        TResultVerifier verifier(scene.resultFile, settings);
        std::atomic<bool> cancel = false;
        std::vector<std::size_t> lines;
        const TVerifySummary summary = verifier.Run(
            [&](const TLineVerdict& verdict, double) {
                lines.push_back(verdict.Line);
                cancel = lines.size() == 5;
            },
            &cancel);
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_EQ(summary.Lines, lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i], i + 2);
    }
}

TEST(TResultVerifier, MemoryDoesNotGrowWithTheFile)
{
    TResultFileScene scene;
    scene.Save(scene.Image("a.bmp"));
    const std::vector<std::string> lines = scene.Lines();
    const auto peakInUse = [&](int copies) {
        {
            std::ofstream file(scene.resultFile, std::ios::binary | std::ios::trunc);
            file << lines[0] << "\r\n";
            for (int i = 0; i < copies; ++i)
                file << lines[1] << "\r\n";
        }
        TVerifySettings settings;
        settings.Jobs = 2;
        TResultVerifier verifier(scene.resultFile, settings);
        std::size_t peak = 0;
        const TVerifySummary summary = verifier.Run([&](const TLineVerdict& verdict, double) {
            EXPECT_TRUE(verdict.Ok());
            peak = std::max(peak, mallinfo2().uordblks);
        });
        EXPECT_EQ(summary.Lines, std::size_t(copies));
        return peak;
    };
    const std::size_t small = peakInUse(1000);
    const std::size_t large = peakInUse(100000);
    // The large file alone is 100 times the small one's 0.3 MB.
    EXPECT_LT(large, small + 256 * 1024) << small << " bytes in use, then " << large;
}

TEST(TResultVerifier, AFileWithoutTheHeaderIsNoResultFile)
{
    TResultFileScene scene;
    scene.Save(scene.Image("objects.bmp"));
    std::vector<std::string> lines = scene.Lines();
    const std::pair<std::string, std::string> cases[] = {
        {"", "the file is empty"},
        {lines[1] + "\r\n", "its first line is not the header line of a result file"},
        {"Path\tName\r\n", "its first line is not the header line of a result file"},
    };
    for (const auto& [text, why] : cases) {
        WriteFile(scene.resultFile, text);
        try {
            TResultVerifier verifier(scene.resultFile, {});
            ADD_FAILURE() << "read as a result file: " << text;
        } catch (const TResultFileError& error) {
            EXPECT_EQ(error.what(), why);
        }
    }
    // A header alone is a result file without lines.
    scene.WriteLines({lines[0]});
    const auto outcome = scene.Verify();
    EXPECT_TRUE(outcome.verdicts.empty());
    EXPECT_EQ(SummaryText(outcome.summary), "0 lines: 0 ok, 0 edited, 0 image changed, 0 image "
                                            "missing, 0 other options, 0 not reproduced, 0 image "
                                            "unreadable, 0 malformed");
}

TEST(TResultVerifier, VerdictsAsJson)
{
    TLineVerdict verdict;
    verdict.Line = 7;
    verdict.ImageFile = "/data/a\"b.bmp";
    EXPECT_EQ(VerdictJson(verdict),
              R"j({"line":7,"image":"/data/a\"b.bmp","ok":true,"findings":[]})j");
    verdict.Findings = {{TFindingKind::Edited, {}, {}},
                        {TFindingKind::NotReproduced, {}, {{"Count", "3", "4"}}}};
    EXPECT_EQ(VerdictJson(verdict),
              R"j({"line":7,"image":"/data/a\"b.bmp","ok":false,"findings":[)j"
              R"j({"category":"edited","text":"edited: the values were changed after saving"},)j"
              R"j({"category":"not reproduced","text":"not reproduced: Count 3 (now 4)",)j"
              R"j("items":[{"item":"Count","stored":"3","found":"4"}]}]})j");
    TVerifySummary summary;
    summary.Add(verdict);
    EXPECT_EQ(SummaryJson(summary),
              R"j({"summary":{"lines":1,"ok":0,"edited":1,"image changed":0,"image missing":0,)j"
              R"j("other options":0,"not reproduced":1,"image unreadable":0,"malformed":0}})j");
}

} // namespace
} // namespace varnolux
