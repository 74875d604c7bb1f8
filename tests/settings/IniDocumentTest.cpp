#include "settings/IniDocument.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <map>
#include <random>

namespace varnolux {
namespace {

using TProblemKind = TIniDocument::TProblemKind;

TEST(IniDocument, EmptyInputHasNothingAndSerializesToNothing)
{
    const TIniDocument document = TIniDocument::Parse("");
    EXPECT_EQ(document.Value("FormMain", "Key"), std::nullopt);
    EXPECT_FALSE(document.HasSection("FormMain"));
    EXPECT_TRUE(document.Keys("FormMain").empty());
    EXPECT_TRUE(document.Problems().empty());
    EXPECT_EQ(document.Serialize(), "");
}

TEST(IniDocument, OneLineWithoutLineEnd)
{
    const TIniDocument document = TIniDocument::Parse("[S]");
    EXPECT_TRUE(document.HasSection("s"));
    EXPECT_TRUE(document.Problems().empty());
    EXPECT_EQ(document.Serialize(), "[S]");
}

TEST(IniDocument, LooksUpValuesWithPrivateProfileRules)
{
    const TIniDocument document = TIniDocument::Parse("; a comment line\n"
                                                      "[FormMain]\n"
                                                      "LabeledEditHMin=12\n"
                                                      "  Spaced Key  =  value with  spaces  \n"
                                                      "\tTabbed\t=\tx\t\n"
                                                      "Equals=a=b=c\n"
                                                      "Quoted=\"kept\"\n"
                                                      "Escaped=C:\\new\\table\n"
                                                      "Empty=\n"
                                                      "Duplicate=first\n"
                                                      "duplicate=second\n"
                                                      "   ; indented comment=not a key\n"
                                                      "\n"
                                                      "[ Other Section ]\n"
                                                      "LabeledEditHMin=other\n"
                                                      "[formmain]\n"
                                                      "Late=in a second section of the name\n");
    const struct {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"FormMain", "LabeledEditHMin", "12"},
        {"FORMMAIN", "labelededithmin", "12"},
        {"FormMain", "Spaced Key", "value with  spaces"},
        {"FormMain", "Tabbed", "x"},
        {"FormMain", "Equals", "a=b=c"},
        {"FormMain", "Quoted", "\"kept\""},
        {"FormMain", "Escaped", "C:\\new\\table"},
        {"FormMain", "Empty", ""},
        {"FormMain", "Duplicate", "first"},
        {"Other Section", "LabeledEditHMin", "other"},
        {"other section", "labelededithmin", "other"},
        {"FormMain", "; indented comment", std::nullopt},
        {"FormMain", "Missing", std::nullopt},
        {"Missing", "LabeledEditHMin", std::nullopt},
        {"FormMain", "Late", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(document.Value(c.section, c.key), c.value) << c.section << "." << c.key;
    EXPECT_TRUE(document.Problems().empty());
    EXPECT_EQ(document.Keys("formMain"),
              (std::vector<std::string>{"LabeledEditHMin", "Spaced Key", "Tabbed", "Equals",
                                        "Quoted", "Escaped", "Empty", "Duplicate", "duplicate"}));
}

TEST(IniDocument, ReadsWindows1252AsUtf8)
{
    const TIniDocument document =
        TIniDocument::Parse("[FormLanguage]\r\n"
                            "FormLanguage.Label.Caption=S\xe4ttigung \x80 \x93x\x94 \xb5m\r\n"
                            "Gr\xf6\xdf"
                            "e=1\r\n");
    EXPECT_EQ(document.Value("FormLanguage", "formlanguage.label.caption"), "Sättigung € “x” µm");
    EXPECT_EQ(document.Value("FormLanguage", "Größe"), "1");
}

TEST(IniDocument, ValidUtf8StaysAsItIs)
{
    const TIniDocument document = TIniDocument::Parse("[S]\nK=S\xc3\xa4ttigung\n");
    EXPECT_EQ(document.Value("S", "K"), "Sättigung");
}

TEST(IniDocument, Utf8SignatureIsSkippedAndKept)
{
    const std::string bytes = "\xEF\xBB\xBF[FormMain]\nK=v\n";
    const TIniDocument document = TIniDocument::Parse(bytes);
    EXPECT_EQ(document.Value("FormMain", "K"), "v");
    EXPECT_TRUE(document.Problems().empty());
    EXPECT_EQ(document.Serialize(), bytes);
}

TEST(IniDocument, SerializeGivesBackTheBytesRead)
{
    const char* inputs[] = {
        "[A]\r\nk=v\r\n",          "[A]\nk=v", "[A]\r\n\r\n\nk=v\r\n;c\n", "[A]\rk=v\r",
        "junk\x01\n[A]\nk=\xe4\n", "\n\n\n",
    };
    for (const char* input : inputs)
        EXPECT_EQ(TIniDocument::Parse(input).Serialize(), input);
}

TEST(IniDocument, EveryLineEndStyleSplitsLines)
{
    for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
        const std::string bytes = std::string("[A]") + lineEnd + "k=v" + lineEnd + "j=w";
        const TIniDocument document = TIniDocument::Parse(bytes);
        EXPECT_EQ(document.Value("A", "k"), "v");
        EXPECT_EQ(document.Value("A", "j"), "w");
    }
}

TEST(IniDocument, ReportsProblemLinesWithTheirNumbers)
{
    const std::string bytes = std::string("Orphan=1\r\n"
                                          "[FormOptions]\r\n"
                                          "this is no key\r\n"
                                          "iInclCircleX=5\r\n"
                                          "[unclosed\r\n"
                                          "=no key\r\n") +
                              std::string("bin\0ary=1\r\n", 11) +
                              "ctrl\x1b=2\r\n"
                              "del\x7f\r\n"
                              "Tab\tinside=ok\r\n"
                              "iInclCircleY=6\r\n";
    const TIniDocument document = TIniDocument::Parse(bytes);
    const std::vector<std::pair<int, TProblemKind>> expected = {
        {1, TProblemKind::KeyBeforeSection}, {3, TProblemKind::NotSectionOrKey},
        {5, TProblemKind::NotSectionOrKey},  {6, TProblemKind::NotSectionOrKey},
        {7, TProblemKind::BinaryData},       {8, TProblemKind::BinaryData},
        {9, TProblemKind::BinaryData},
    };
    std::vector<std::pair<int, TProblemKind>> found;
    for (const auto& problem : document.Problems()) {
        found.emplace_back(problem.line, problem.kind);
        EXPECT_FALSE(problem.description.empty());
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(document.Value("FormOptions", "iInclCircleX"), "5");
    EXPECT_EQ(document.Value("FormOptions", "iInclCircleY"), "6");
    EXPECT_EQ(document.Value("FormOptions", "Tab\tinside"), "ok");
    EXPECT_EQ(document.Value("FormOptions", "ctrl\x1b"), std::nullopt);
}

TEST(IniDocument, ReplacesAValueInPlaceKeepingEverythingElse)
{
    TIniDocument document = TIniDocument::Parse("; options\r\n"
                                                "[FormOptions]\r\n"
                                                "  iInclCircleX = 5\r\n"
                                                "Unknown=kept\n"
                                                "iInclCircleY=6");
    document.SetValue("formoptions", "IINCLCIRCLEX", "123");
    document.SetValue("FormOptions", "iInclCircleY", "");
    EXPECT_EQ(document.Serialize(), "; options\r\n"
                                    "[FormOptions]\r\n"
                                    "  iInclCircleX = 123\r\n"
                                    "Unknown=kept\n"
                                    "iInclCircleY=");
    EXPECT_EQ(document.Value("FormOptions", "iInclCircleY"), "");
}

TEST(IniDocument, AppendsAMissingKeyAfterTheLastKeyOfItsSection)
{
    TIniDocument document = TIniDocument::Parse("[FormMain]\r\n"
                                                "A=1\r\n"
                                                "B=2\r\n"
                                                "; trailing comment\r\n"
                                                "\r\n"
                                                "[FormOptions]\r\n"
                                                "C=3\r\n");
    document.SetValue("FormMain", "New", "x");
    EXPECT_EQ(document.Serialize(), "[FormMain]\r\n"
                                    "A=1\r\n"
                                    "B=2\r\n"
                                    "New=x\r\n"
                                    "; trailing comment\r\n"
                                    "\r\n"
                                    "[FormOptions]\r\n"
                                    "C=3\r\n");
}

TEST(IniDocument, AppendsAKeyToASectionWithoutKeysRightAfterItsHeader)
{
    TIniDocument document = TIniDocument::Parse("[Empty]\n\n[Next]\nK=1\n");
    document.SetValue("empty", "New", "x");
    EXPECT_EQ(document.Serialize(), "[Empty]\nNew=x\n\n[Next]\nK=1\n");
}

TEST(IniDocument, AppendsAMissingSectionInTheFilesLineEndStyle)
{
    struct {
        const char* before;
        const char* after;
    } const cases[] = {
        {"", "[S]\nK=v\n"},
        {"[A]\r\nk=1\r\n", "[A]\r\nk=1\r\n\r\n[S]\r\nK=v\r\n"},
        {"[A]\nk=1", "[A]\nk=1\n\n[S]\nK=v\n"},
        {"[A]\nk=1\n\n", "[A]\nk=1\n\n[S]\nK=v\n"},
        {"[A]", "[A]\n\n[S]\nK=v\n"},
    };
    for (const auto& c : cases) {
        TIniDocument document = TIniDocument::Parse(c.before);
        document.SetValue("S", "K", "v");
        EXPECT_EQ(document.Serialize(), c.after) << c.before;
    }
}

TEST(IniDocument, WritesIntoAWindows1252FileInItsEncoding)
{
    TIniDocument document = TIniDocument::Parse("[FormMeasure]\r\nOld=S\xe4ttigung\r\n");
    document.SetValue("FormMeasure", "Unit", "µm €");
    document.SetValue("FormMeasure", "NotInCodePage", "α→");
    EXPECT_EQ(document.Serialize(), "[FormMeasure]\r\nOld=S\xe4ttigung\r\n"
                                    "Unit=\xb5m \x80\r\n"
                                    "NotInCodePage=??\r\n");
    EXPECT_EQ(TIniDocument::Parse(document.Serialize()).Value("FormMeasure", "Unit"), "µm €");
}

TEST(IniDocument, AValueCannotBreakItsLine)
{
    TIniDocument document = TIniDocument::Parse("[S]\nK=1\n");
    document.SetValue("S", "K", "a\r\nInjected=1\n[Other]");
    const TIniDocument reread = TIniDocument::Parse(document.Serialize());
    EXPECT_EQ(reread.Value("S", "K"), "a  Injected=1 [Other]");
    EXPECT_EQ(reread.Value("S", "Injected"), std::nullopt);
    EXPECT_FALSE(reread.HasSection("Other"));
}

TEST(IniDocument, RefusesNamesAFileCannotHold)
{
    TIniDocument document = TIniDocument::Parse("[S]\nK=1\n");
    const std::pair<const char*, const char*> invalid[] = {
        {"", "K"},   {"a]b", "K"}, {"S\n", "K"}, {"S", ""},    {"S", "a=b"},
        {"S", ";c"}, {"S", "[x"},  {"S", "k\r"}, {"S", "   "},
    };
    for (const auto& [section, key] : invalid)
        EXPECT_THROW(document.SetValue(section, key, "v"), std::invalid_argument)
            << section << "/" << key;
    EXPECT_EQ(document.Serialize(), "[S]\nK=1\n");
}

// Random writes against a map of what each key should hold, reading the file back after
// every write.
TEST(IniDocument, RandomWritesReadBackAsAPlainMapWouldHoldThem)
{
    const char* sections[] = {"FormMain", "formmain", "FormOptions", "Program", "Größe"};
    const char* keys[] = {"A", "a", "Key Two", "ComboBoxZoom", "Wert"};
    const char* values[] = {"",    "1",         " padded ", "a=b", "; not a comment",
                            "[x]", "Sättigung", "\"q\""};
    const auto lower = [](std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return text;
    };
    for (const char* start : {"", "; header\r\n[Other]\r\nX=1\r\n", "[FormMain]\nA=\xe4"}) {
        std::mt19937 random(42);
        TIniDocument document = TIniDocument::Parse(start);
        std::map<std::pair<std::string, std::string>, std::string> expected;
        for (int step = 0; step < 200; ++step) {
            const std::string section = sections[random() % std::size(sections)];
            const std::string key = keys[random() % std::size(keys)];
            const std::string value = values[random() % std::size(values)];
            document.SetValue(section, key, value);
            const std::string trimmed = value == " padded " ? "padded" : value;
            expected[{lower(section), lower(key)}] = trimmed;

            const TIniDocument reread = TIniDocument::Parse(document.Serialize());
            ASSERT_TRUE(reread.Problems().empty()) << reread.Serialize();
            for (const auto& [name, text] : expected) {
                ASSERT_EQ(reread.Value(name.first, name.second), text)
                    << name.first << "." << name.second << " after step " << step;
                ASSERT_EQ(document.Value(name.first, name.second), text)
                    << "in place: " << name.first << "." << name.second << " after step " << step;
            }
        }
    }
}

TEST(IniDocument, LoadReadsFilesAndNothingElse)
{
    const test::TempFolder folder;
    const std::string fileName = folder.File("a.ini");
    test::WriteFile(fileName, "[S]\nK=v\n");
    const auto document = TIniDocument::Load(fileName);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->Value("S", "K"), "v");
    EXPECT_FALSE(TIniDocument::Load(folder.File("missing.ini")));
    EXPECT_FALSE(TIniDocument::Load(folder.Path().string()));
}

} // namespace
} // namespace varnolux
