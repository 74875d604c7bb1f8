#include "settings/SettingsAccess.h"

#include "base/Paths.h"
#include "settings/ProgramInfo.h"
#include "support/TempFolder.h"

#include <climits>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnolux {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

mode_t PermissionBits(const std::string& fileName)
{
    struct stat status {};
    EXPECT_EQ(::stat(fileName.c_str(), &status), 0);
    return status.st_mode & 07777;
}

void SetPermissionBits(const std::string& fileName, mode_t bits)
{
    ASSERT_EQ(::chmod(fileName.c_str(), bits), 0);
}

std::set<std::string> FolderContents(const TempFolder& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
        names.insert(entry.path().filename().string());
    return names;
}

// A file in the program's folder, for names given without a folder.
class TProgramFolderFile {
public:
    explicit TProgramFolderFile(const std::string& bytes)
        : name_("settings-test-" + std::to_string(::getpid()) + ".ini")
    {
        WriteFile(ProgramFolder() + name_, bytes);
    }
    ~TProgramFolderFile() { fs::remove(ProgramFolder() + name_); }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

// Lets writes beyond a file size fail as on a full disk, while it lives.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
        : previousHandler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        const rlimit limit{bytes, previous_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    void (*previousHandler_)(int);
    rlimit previous_{};
};

TEST(SettingsAccess, ResolvesFileNames)
{
    EXPECT_EQ(ResolveConfigFileName(""), ProgramSettingsFile());
    EXPECT_EQ(ResolveConfigFileName("VXDefault.ini"), ProgramFolder() + "VXDefault.ini");
    EXPECT_EQ(ResolveConfigFileName("/data/options.ini"), "/data/options.ini");
    EXPECT_EQ(ResolveConfigFileName("sub/options.ini"), "sub/options.ini");
}

TEST(SettingsAccess, ANameWithoutFolderIsReadFromTheProgramFolder)
{
    const TProgramFolderFile file("[FormMain]\nKey=from program folder\n");
    EXPECT_EQ(ReadConfigString(file.Name(), "FormMain", "Key", "default"), "from program folder");
    EXPECT_EQ(WriteConfigString(file.Name(), "FormMain", "Key", "changed"),
              ProgramFolder() + file.Name());
    EXPECT_EQ(ReadFile(ProgramFolder() + file.Name()), "[FormMain]\nKey=changed\n");
}

TEST(SettingsAccess, OpenConfigUsesOnlyExistingWritableFiles)
{
    const TempFolder folder;
    const std::string writable = folder.File("writable.ini");
    const std::string readOnly = folder.File("readonly.ini");
    const std::string writeOnly = folder.File("writeonly.ini");
    WriteFile(writable, "");
    WriteFile(readOnly, "");
    WriteFile(writeOnly, "");
    SetPermissionBits(readOnly, 0444);
    SetPermissionBits(writeOnly, 0200);

    const structConfig config = OpenConfig(writable, "Section", "Key");
    EXPECT_TRUE(config.hasFile);
    EXPECT_EQ(config.fileName, writable);
    EXPECT_EQ(config.section, "Section");
    EXPECT_EQ(config.key, "Key");
    EXPECT_FALSE(OpenConfig(readOnly, "S", "K").hasFile);
    EXPECT_TRUE(OpenConfig(writeOnly, "S", "K").hasFile);
    EXPECT_FALSE(OpenConfig(folder.File("missing.ini"), "S", "K").hasFile);
    EXPECT_FALSE(OpenConfig(folder.Path().string(), "S", "K").hasFile);

    EXPECT_TRUE(IsReadOnlyFile(readOnly));
    EXPECT_FALSE(IsReadOnlyFile(writable));
    EXPECT_FALSE(IsReadOnlyFile(writeOnly));
    EXPECT_FALSE(IsReadOnlyFile(folder.File("missing.ini")));
}

TEST(SettingsAccess, ReadsStringsWithTheirDefaults)
{
    const TempFolder folder;
    const std::string fileName = folder.File("settings.ini");
    WriteFile(fileName, "[FormOptions]\nEditResultFile = /data/results.txt \nEmpty=\n");
    struct {
        const char* section;
        const char* key;
        const char* expected;
    } const cases[] = {
        {"FormOptions", "EditResultFile", "/data/results.txt"},
        {"formoptions", "EDITRESULTFILE", "/data/results.txt"},
        {"FormOptions", "Empty", ""},
        {"FormOptions", "Missing", "default"},
        {"Missing", "EditResultFile", "default"},
    };
    for (const auto& c : cases) {
        bool error = true;
        EXPECT_EQ(ReadConfigString(fileName, c.section, c.key, "default", &error), c.expected)
            << c.key;
        EXPECT_FALSE(error) << c.key;
    }

    bool error = false;
    EXPECT_EQ(ReadConfigString(folder.File("missing.ini"), "S", "K", "default", &error), "default");
    EXPECT_TRUE(error);
}

TEST(SettingsAccess, ReadOnlyFileReadsAsMissingButAnyWriteBitIsEnough)
{
    const TempFolder folder;
    const std::string fileName = folder.File("VXLang.ini");
    WriteFile(fileName, "[FormMain]\nFormMain.Caption=Varnolux\n");

    // Installed for all users: writable by its owner only.
    SetPermissionBits(fileName, 0644);
    bool error = true;
    EXPECT_EQ(ReadConfigString(fileName, "FormMain", "FormMain.Caption", "", &error), "Varnolux");
    EXPECT_FALSE(error);

    SetPermissionBits(fileName, 0444);
    EXPECT_EQ(ReadConfigString(fileName, "FormMain", "FormMain.Caption", "default", &error),
              "default");
    EXPECT_TRUE(error);
    EXPECT_EQ(ReadConfigInteger(fileName, "FormMain", "FormMain.Caption", 7, &error), 7);
    EXPECT_TRUE(error);
}

TEST(SettingsAccess, ReadsIntegersInDecimalAndHexadecimal)
{
    struct {
        const char* text;
        int expected;
        bool error;
    } const cases[] = {
        {"0", 0, false},
        {"42", 42, false},
        {"-12", -12, false},
        {"+7", 7, false},
        {"007", 7, false},
        {"2147483647", INT_MAX, false},
        {"-2147483648", INT_MIN, false},
        {"0x1F", 31, false},
        {"0X1f", 31, false},
        {"$1F", 31, false},
        {"$8C5014", 9195540, false},
        {"-0x10", -16, false},
        {"0xFFFFFFFF", -1, false},
        {"2147483648", -99, true},
        {"-2147483649", -99, true},
        {"0x100000000", -99, true},
        {"12abc", -99, true},
        {"", -99, true},
        {"1.5", -99, true},
        {"1 2", -99, true},
        {"0x", -99, true},
        {"$", -99, true},
        {"0x-1", -99, true},
        {"+-1", -99, true},
        {"--1", -99, true},
        {"x12", -99, true},
    };
    const TempFolder folder;
    const std::string fileName = folder.File("numbers.ini");
    for (const auto& c : cases) {
        WriteFile(fileName, std::string("[S]\nK=") + c.text + "\n");
        bool error = !c.error;
        EXPECT_EQ(ReadConfigInteger(fileName, "S", "K", -99, &error), c.expected) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
    bool error = true;
    EXPECT_EQ(ReadConfigInteger(fileName, "S", "Missing", -99, &error), -99);
    EXPECT_FALSE(error);
}

TEST(SettingsAccess, ReadsBooleansAsNonZeroIntegers)
{
    struct {
        const char* text;
        bool expectedWithFalseDefault;
        bool expectedWithTrueDefault;
    } const cases[] = {
        {"1", true, true},     {"0", false, false},  {"2", true, true},     {"-1", true, true},
        {"0x0", false, false}, {"yes", false, true}, {"true", false, true}, {"", false, true},
    };
    const TempFolder folder;
    const std::string fileName = folder.File("switches.ini");
    for (const auto& c : cases) {
        WriteFile(fileName, std::string("[S]\nK=") + c.text + "\n");
        EXPECT_EQ(ReadConfigBool(fileName, "S", "K", false), c.expectedWithFalseDefault) << c.text;
        EXPECT_EQ(ReadConfigBool(fileName, "S", "K", true), c.expectedWithTrueDefault) << c.text;
    }
}

TEST(SettingsAccess, AnInMemoryDocumentReadsAsTheFileWould)
{
    const TempFolder folder;
    const std::string fileName = folder.File("document.ini");
    for (const char* text : {"0", "42", "-12", "0x1F", "$1F", "12abc", "", "true", "2", "1.5",
                             "2147483648", " spaced ", "Sättigung"}) {
        const std::string bytes = std::string("[S]\nK=") + text + "\n[Program]\nP=" + text + "\n";
        WriteFile(fileName, bytes);
        const TIniDocument document = TIniDocument::Parse(bytes);
        for (const char* section : {"S", "s", "", "Missing"}) {
            EXPECT_EQ(ReadConfigString(document, section, "K", "default"),
                      ReadConfigString(fileName, section, "K", "default"))
                << text << " " << section;
            EXPECT_EQ(ReadConfigString(document, section, "P", "default"),
                      ReadConfigString(fileName, section, "P", "default"))
                << text << " " << section;
            EXPECT_EQ(ReadConfigInteger(document, section, "K", -99),
                      ReadConfigInteger(fileName, section, "K", -99))
                << text << " " << section;
            for (const bool defaultValue : {false, true})
                EXPECT_EQ(ReadConfigBool(document, section, "K", defaultValue),
                          ReadConfigBool(fileName, section, "K", defaultValue))
                    << text << " " << section;
        }
    }
    const TIniDocument longValue = TIniDocument::Parse("[S]\nK=" + std::string(3000, 'x') + "\n");
    EXPECT_EQ(ReadConfigString(longValue, "S", "K", ""), std::string(2047, 'x'));
}

TEST(SettingsAccess, WritesValueFormsAndReturnsTheFileName)
{
    const TempFolder folder;
    const std::string fileName = folder.File("options.ini");
    WriteFile(fileName, "");
    EXPECT_EQ(WriteConfigBool(fileName, "FormOptions", "lUseInclCircle", true), fileName);
    EXPECT_EQ(WriteConfigBool(fileName, "FormOptions", "lUseExclRect", false), fileName);
    EXPECT_EQ(WriteConfigInteger(fileName, "FormOptions", "iInclCircleX", -4), fileName);
    EXPECT_EQ(WriteConfigInteger(fileName, "FormOptions", "ColorBack", 9195540), fileName);
    EXPECT_EQ(WriteConfigString(fileName, "FormMeasure", "EditMeasure", "12,5"), fileName);
    EXPECT_EQ(ReadFile(fileName), "[FormOptions]\n"
                                  "lUseInclCircle=1\n"
                                  "lUseExclRect=0\n"
                                  "iInclCircleX=-4\n"
                                  "ColorBack=9195540\n"
                                  "\n"
                                  "[FormMeasure]\n"
                                  "EditMeasure=12,5\n");
    EXPECT_TRUE(ReadConfigBool(fileName, "FormOptions", "lUseInclCircle", false));
    EXPECT_EQ(ReadConfigInteger(fileName, "FormOptions", "iInclCircleX", 0), -4);
}

TEST(SettingsAccess, AnEmptySectionIsProgram)
{
    const TempFolder folder;
    const std::string fileName = folder.File("settings.ini");
    WriteFile(fileName, "[Other]\nK=1\n");
    EXPECT_EQ(WriteConfigString(fileName, "", "Key", "value"), fileName);
    EXPECT_EQ(ReadFile(fileName), "[Other]\nK=1\n\n[Program]\nKey=value\n");
    EXPECT_EQ(ReadConfigString(fileName, "", "Key", "default"), "value");
    EXPECT_EQ(ReadConfigString(fileName, "Program", "Key", "default"), "value");
}

TEST(SettingsAccess, NeverCreatesOrWritesAMissingOrReadOnlyFile)
{
    const TempFolder folder;
    const std::string missing = folder.File("missing.ini");
    EXPECT_EQ(WriteConfigString(missing, "S", "K", "v"), "");
    EXPECT_EQ(WriteConfigInteger(missing, "S", "K", 1), "");
    EXPECT_EQ(WriteConfigBool(missing, "S", "K", true), "");
    EXPECT_TRUE(FolderContents(folder).empty());
    EXPECT_EQ(ReadConfigString(missing, "S", "K", "default"), "default");

    const std::string readOnly = folder.File("readonly.ini");
    WriteFile(readOnly, "[S]\r\nK=old\r\n");
    SetPermissionBits(readOnly, 0444);
    EXPECT_EQ(WriteConfigString(readOnly, "S", "K", "new"), "");
    EXPECT_EQ(WriteConfigString(readOnly, "S", "Other", "new"), "");
    EXPECT_EQ(ReadFile(readOnly), "[S]\r\nK=old\r\n");
    EXPECT_EQ(PermissionBits(readOnly), 0444u);
    EXPECT_EQ(FolderContents(folder), std::set<std::string>{"readonly.ini"});
}

TEST(SettingsAccess, WritingKeepsTheWindowsFileAsItWas)
{
    const TempFolder folder;
    const std::string fileName = folder.File("VXDefault.ini");
    const std::string original = "; Optionen\r\n"
                                 "[FormOptions]\r\n"
                                 "EditResultFile=C:\\Ergebnisse\\S\xe4ttigung.txt\r\n"
                                 "EditMinRegion=10,0\r\n"
                                 "\r\n"
                                 "[FormMeasure]\r\n"
                                 "ComboBoxUnits=3\r\n";
    WriteFile(fileName, original);
    EXPECT_EQ(ReadConfigString(fileName, "FormOptions", "EditResultFile", ""),
              "C:\\Ergebnisse\\Sättigung.txt");

    WriteConfigString(fileName, "FormOptions", "EditMinRegion", "2,5");
    WriteConfigString(fileName, "FormMeasure", "EditMeasure", "µm");
    EXPECT_EQ(ReadFile(fileName), "; Optionen\r\n"
                                  "[FormOptions]\r\n"
                                  "EditResultFile=C:\\Ergebnisse\\S\xe4ttigung.txt\r\n"
                                  "EditMinRegion=2,5\r\n"
                                  "\r\n"
                                  "[FormMeasure]\r\n"
                                  "ComboBoxUnits=3\r\n"
                                  "EditMeasure=\xb5m\r\n");
    EXPECT_EQ(ReadConfigString(fileName, "FormMeasure", "EditMeasure", ""), "µm");
}

TEST(SettingsAccess, NothingIsCachedBetweenCalls)
{
    const TempFolder folder;
    const std::string fileName = folder.File("settings.ini");
    WriteFile(fileName, "[S]\nK=1\n");
    EXPECT_EQ(ReadConfigInteger(fileName, "S", "K", 0), 1);
    WriteFile(fileName, "[S]\nK=2\n");
    EXPECT_EQ(ReadConfigInteger(fileName, "S", "K", 0), 2);
    WriteConfigInteger(fileName, "S", "K", 3);
    WriteFile(fileName, ReadFile(fileName) + "J=4\n");
    WriteConfigInteger(fileName, "S", "L", 5);
    EXPECT_EQ(ReadFile(fileName), "[S]\nK=3\nJ=4\nL=5\n");
}

TEST(SettingsAccess, LongValuesAreCutOnReadWithoutSplittingACharacter)
{
    const TempFolder folder;
    const std::string fileName = folder.File("long.ini");
    WriteFile(fileName, "[S]\n");
    const std::string longText(3000, 'x');
    WriteConfigString(fileName, "S", "Long", longText);
    EXPECT_EQ(ReadConfigString(fileName, "S", "Long", ""), std::string(2047, 'x'));

    // "ä" takes bytes 2047 and 2048: it must go as a whole.
    WriteConfigString(fileName, "S", "Straddling", std::string(2046, 'a') + "äbc");
    EXPECT_EQ(ReadConfigString(fileName, "S", "Straddling", ""), std::string(2046, 'a'));

    WriteConfigString(fileName, "S", "Exact", std::string(2045, 'a') + "ä");
    EXPECT_EQ(ReadConfigString(fileName, "S", "Exact", ""), std::string(2045, 'a') + "ä");

    // The file keeps the whole value.
    EXPECT_NE(ReadFile(fileName).find(longText), std::string::npos);
}

TEST(SettingsAccess, WritingKeepsPermissionsOwnerAndLinks)
{
    const TempFolder folder;
    const std::string fileName = folder.File("options.ini");
    WriteFile(fileName, "[S]\nK=1\n");
    SetPermissionBits(fileName, 0640);
    WriteConfigString(fileName, "S", "K", "2");
    EXPECT_EQ(PermissionBits(fileName), 0640u);
    EXPECT_EQ(FolderContents(folder), std::set<std::string>{"options.ini"});

    // Root saving a user's file must leave it that user's.
    if (::geteuid() == 0) {
        const uid_t otherUser = 65534;
        ASSERT_EQ(::chown(fileName.c_str(), otherUser, otherUser), 0);
        WriteConfigString(fileName, "S", "K", "owned");
        struct stat status {};
        ASSERT_EQ(::stat(fileName.c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, otherUser);
        EXPECT_EQ(status.st_gid, otherUser);
        EXPECT_EQ(ReadFile(fileName), "[S]\nK=owned\n");
    }

    const std::string linkName = folder.File("link.ini");
    fs::create_symlink(fileName, linkName);
    EXPECT_EQ(WriteConfigString(linkName, "S", "K", "3"), linkName);
    EXPECT_TRUE(fs::is_symlink(linkName));
    EXPECT_EQ(ReadFile(fileName), "[S]\nK=3\n");

    const std::string hardLink = folder.File("hard.ini");
    fs::create_hard_link(fileName, hardLink);
    WriteConfigString(hardLink, "S", "K", "4");
    EXPECT_EQ(ReadFile(fileName), "[S]\nK=4\n");
    EXPECT_EQ(ReadFile(hardLink), "[S]\nK=4\n");
    EXPECT_EQ(FolderContents(folder),
              (std::set<std::string>{"options.ini", "link.ini", "hard.ini"}));
}

TEST(SettingsAccess, AFailedWriteThrowsAndLeavesTheOldFile)
{
    const std::string original = "[S]\nK=1\n";
    const std::string longValue(500, 'v');
    for (const bool hardLinked : {false, true}) {
        const TempFolder folder;
        const std::string fileName = folder.File("options.ini");
        WriteFile(fileName, original);
        if (hardLinked)
            fs::create_hard_link(fileName, folder.File("second.ini"));
        const auto contentsBefore = FolderContents(folder);
        {
            const TFileSizeLimit limit(100);
            EXPECT_THROW(WriteConfigString(fileName, "S", "K", longValue), TSettingsError);
        }
        EXPECT_EQ(ReadFile(fileName), original) << "hard linked: " << hardLinked;
        EXPECT_EQ(FolderContents(folder), contentsBefore);
    }
}

TEST(SettingsAccess, KeyNamesThatCannotBeStoredAreAnError)
{
    const TempFolder folder;
    const std::string fileName = folder.File("settings.ini");
    WriteFile(fileName, "[S]\nK=1\n");
    EXPECT_THROW(WriteConfigString(fileName, "S", "a=b", "v"), TSettingsError);
    EXPECT_THROW(WriteConfigString(fileName, "S]", "K", "v"), TSettingsError);
    EXPECT_EQ(ReadFile(fileName), "[S]\nK=1\n");
}

} // namespace
} // namespace varnolux
