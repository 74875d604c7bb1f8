#include "results/TResult.h"

#include "support/TempFolder.h"

#include <clocale>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace varnolux {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

TResult SmallTable()
{
    TResult table;
    table.AddString("Name", "leaf.png");
    table.AddDouble("Area", 2.25);
    table.AddInteger("Count", 3);
    return table;
}

TEST(TResult, AddsItemsInOrderWithTheirValueTexts)
{
    const TResult table = SmallTable();
    ASSERT_EQ(table.Count(), 3);
    const auto& items = table.Items();
    EXPECT_EQ(items[0].Name, "Name");
    EXPECT_EQ(items[0].Kind, TResultItem::KindText);
    EXPECT_EQ(items[0].ValueText, "leaf.png");
    EXPECT_EQ(items[1].Kind, TResultItem::KindFloat);
    EXPECT_EQ(items[1].DoubleValue, 2.25);
    EXPECT_EQ(items[1].ValueText, "2.25");
    EXPECT_EQ(items[2].Kind, TResultItem::KindInteger);
    EXPECT_EQ(items[2].IntValue, 3);
    EXPECT_EQ(items[2].ValueText, "3");
}

TEST(TResult, ReplacesAnExistingNameInPlace)
{
    TResult table = SmallTable();
    table.AddInteger("Area", 0);
    table.AddInteger("Count", 5);
    table.AddInteger("Count", 7);
    ASSERT_EQ(table.Count(), 3);
    EXPECT_EQ(table.Items()[1].Name, "Area");
    EXPECT_EQ(table.Items()[1].Kind, TResultItem::KindInteger);
    EXPECT_EQ(table.Items()[1].ValueText, "0");
    EXPECT_EQ(table.Items()[2].ValueText, "7");

    table.AddDouble("Count", 0.5);
    EXPECT_EQ(table.Items()[2].Kind, TResultItem::KindFloat);
    EXPECT_EQ(table.Items()[2].DoubleValue, 0.5);
    EXPECT_EQ(table.Items()[2].ValueText, "0.5");
}

TEST(TResult, AddItemTellsWhetherTheNameWasNew)
{
    TResult table;
    TResultItem item;
    item.Name = "Unit";
    item.ValueText = "cm";
    EXPECT_TRUE(table.AddItem(item));
    item.ValueText = "mm";
    EXPECT_FALSE(table.AddItem(item));
    EXPECT_EQ(table.Count(), 1);
    EXPECT_EQ(table.GetValueText("Unit"), "mm");
}

TEST(TResult, FindsNamesExactly)
{
    TResult table = SmallTable();
    table.AddString("count", "lower case");
    EXPECT_EQ(table.Count(), 4);
    EXPECT_EQ(table.GetValueText("Count"), "3");
    EXPECT_EQ(table.GetValueText("count"), "lower case");
    EXPECT_TRUE(table.Exists("Name"));
    EXPECT_FALSE(table.Exists("NAME"));
    EXPECT_EQ(table.Find("Missing"), nullptr);
    EXPECT_EQ(table.GetValueText("Missing"), "");
    ASSERT_NE(table.Find("Area"), nullptr);
    EXPECT_EQ(table.Find("Area")->DoubleValue, 2.25);

    table.Clear();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_FALSE(table.Exists("Name"));
}

TEST(TResult, WritesDoublesWithTheLocaleSeparator)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale installed";
    TResult table;
    table.AddDouble("MeanSize", 0.5);
    table.AddDouble("Area", 307200);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(table.GetValueText("MeanSize"), "0,5");
    EXPECT_EQ(table.GetValueText("Area"), "307200");
}

TEST(TResult, LinesAreTabSeparatedAndKeepTheirColumns)
{
    TResult table = SmallTable();
    EXPECT_EQ(table.HeaderLine(), "Name\tArea\tCount");
    EXPECT_EQ(table.ValueLine(), "leaf.png\t2.25\t3");

    table.AddString("Name", "a\tb\r\nc\n");
    table.AddString("Odd\tName", "x");
    EXPECT_EQ(table.HeaderLine(), "Name\tArea\tCount\tOdd Name");
    EXPECT_EQ(table.ValueLine(), "a b  c \t2.25\t3\tx");
    EXPECT_EQ(ResultFieldText("\t\r\n"), "   ");
    EXPECT_EQ(ResultFieldText(""), "");

    const TResult single = [] {
        TResult t;
        t.AddString("Only", "");
        return t;
    }();
    EXPECT_EQ(single.HeaderLine(), "Only");
    EXPECT_EQ(single.ValueLine(), "");
    EXPECT_EQ(TResult().HeaderLine(), "");
}

TEST(TResultFile, NewFileGetsTheHeaderAndLaterSavesOnlyValues)
{
    const TempFolder folder;
    const std::string file = folder.File("results.txt");
    TResult table = SmallTable();
    ASSERT_TRUE(table.SaveToFile(file));
    EXPECT_EQ(ReadFile(file), "Name\tArea\tCount\r\nleaf.png\t2.25\t3\r\n");

    table.AddInteger("Count", 4);
    table.AddString("Extra", "e");
    ASSERT_TRUE(table.SaveToFile(file));
    EXPECT_EQ(ReadFile(file), "Name\tArea\tCount\r\nleaf.png\t2.25\t3\r\nleaf.png\t2.25\t4\te\r\n");
}

TEST(TResultFile, ALastLineWithoutALineEndIsNotJoined)
{
    const TempFolder folder;
    const std::string file = folder.File("edited.txt");
    WriteFile(file, "Name\tArea\tCount\r\nedited by hand");
    ASSERT_TRUE(SmallTable().SaveToFile(file));
    EXPECT_EQ(ReadFile(file), "Name\tArea\tCount\r\nedited by hand\r\nleaf.png\t2.25\t3\r\n");
}

TEST(TResultFile, SavesFromSeveralProcessesKeepEveryLine)
{
    const TempFolder folder;
    const std::string file = folder.File("shared.txt");
    constexpr int Writers = 4;
    constexpr int SavesEach = 25;
    std::vector<pid_t> children;
    for (int writer = 0; writer < Writers; ++writer) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            bool saved = true;
            for (int save = 0; save < SavesEach; ++save)
                saved = SmallTable().SaveToFile(file) && saved;
            _exit(saved ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string contents = ReadFile(file);
    const std::string line = "leaf.png\t2.25\t3\r\n";
    size_t lines = 0;
    for (size_t at = contents.find(line); at != std::string::npos; at = contents.find(line, at + 1))
        ++lines;
    EXPECT_EQ(lines, size_t(Writers * SavesEach));
    EXPECT_EQ(contents.find("Name\tArea\tCount\r\n"), contents.rfind("Name\tArea\tCount\r\n"))
        << "one header";
}

TEST(TResultFile, EmptyTableCreatesAnEmptyFile)
{
    const TempFolder folder;
    const std::string file = folder.File("empty.txt");
    ASSERT_TRUE(TResult().SaveToFile(file));
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(ReadFile(file), "");
    ASSERT_TRUE(TResult().SaveToFile(file));
    EXPECT_EQ(ReadFile(file), "");
}

TEST(TResultFile, FieldsWithTabsOrLineBreaksStayInTheirColumn)
{
    const TempFolder folder;
    const std::string file = folder.File("results.txt");
    TResult table;
    table.AddString("Path", "/data/a\tb/");
    table.AddString("Name", "two\r\nlines.png");
    ASSERT_TRUE(table.SaveToFile(file));
    EXPECT_EQ(ReadFile(file), "Path\tName\r\n/data/a b/\ttwo  lines.png\r\n");
}

TEST(TResultFile, FailsWithoutCreatingAnythingAndSaysWhy)
{
    const TempFolder folder;
    std::filesystem::create_directory(folder.File("folder"));
    ASSERT_EQ(::mkfifo(folder.File("fifo").c_str(), 0600), 0);
    const struct {
        std::string file;
        TResult table;
        const char* why;
    } cases[] = {
        {folder.File("missing/results.txt"), SmallTable(), "No such file or directory"},
        {folder.File("missing/results.txt"), TResult(), "No such file or directory"},
        {folder.File("folder"), SmallTable(), "Is a directory"},
        {folder.File("fifo"), SmallTable(), "not a regular file"},
        {"", SmallTable(), "No such file or directory"},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_FALSE(c.table.SaveToFile(c.file, &why)) << c.file;
        EXPECT_EQ(why, c.why) << c.file;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("missing")));
}

/// What a save in another process reported.
struct TChildSave {
    bool saved = false;
    std::string why;
    operator bool() const { return saved; }
};

/// Saves in a child process after prepare() has set it up (prepare false: it could
/// not).
TChildSave SaveInChild(const TResult& table, const std::string& file,
                       const std::function<bool()>& prepare)
{
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        if (!prepare())
            ::_exit(2);
        std::string why;
        const bool saved = table.SaveToFile(file, &why);
        const bool told = ::write(ends[1], why.data(), why.size()) == ssize_t(why.size());
        ::_exit(saved && told ? 0 : 1);
    }
    ::close(ends[1]);
    TChildSave result;
    char buffer[256];
    for (ssize_t count; (count = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        result.why.append(buffer, std::size_t(count));
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 2) << "cannot prepare the child";
    result.saved = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

/// Files may not grow beyond limit bytes, as on a full disk.
TChildSave SaveWithFileSizeLimit(const TResult& table, const std::string& file, rlim_t limit)
{
    return SaveInChild(table, file, [limit] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit sizeLimit{limit, limit};
        return ::setrlimit(RLIMIT_FSIZE, &sizeLimit) == 0;
    });
}

/// Permission bits do not stop the superuser, so the save runs as nobody then.
TChildSave SaveWithoutPrivileges(const TResult& table, const std::string& file)
{
    return SaveInChild(table, file, [] {
        constexpr uid_t Nobody = 65534;
        return ::geteuid() != 0 || (::setgid(Nobody) == 0 && ::setuid(Nobody) == 0);
    });
}

TEST(TResultFile, ReadOnlyFileIsLeftAlone)
{
    const TempFolder folder;
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0777), 0);
    const std::string writable = folder.File("writable.txt");
    const std::string readOnly = folder.File("read-only.txt");
    for (const auto& file : {writable, readOnly}) {
        ASSERT_TRUE(SmallTable().SaveToFile(file));
        ASSERT_EQ(::chmod(file.c_str(), file == readOnly ? 0444 : 0666), 0);
    }
    const std::string before = ReadFile(readOnly);
    const TChildSave refused = SaveWithoutPrivileges(SmallTable(), readOnly);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.why, "Permission denied");
    EXPECT_EQ(ReadFile(readOnly), before);
    EXPECT_TRUE(SaveWithoutPrivileges(SmallTable(), writable));
    EXPECT_EQ(ReadFile(writable), before + "leaf.png\t2.25\t3\r\n");
}

TEST(TResultFile, FullDiskLeavesEarlierLinesAndNoPartialLine)
{
    const TempFolder folder;
    const std::string file = folder.File("results.txt");
    const TResult table = SmallTable();
    ASSERT_TRUE(table.SaveToFile(file));
    const std::string before = ReadFile(file);
    const rlim_t size = before.size();
    for (const rlim_t limit : {size, size + 1, size + 10}) {
        const TChildSave refused = SaveWithFileSizeLimit(table, file, limit);
        EXPECT_FALSE(refused) << limit;
        EXPECT_EQ(refused.why, "File too large") << limit;
        EXPECT_EQ(ReadFile(file), before) << limit;
    }
    EXPECT_TRUE(SaveWithFileSizeLimit(table, file, size + table.ValueLine().size() + 2));
    EXPECT_EQ(ReadFile(file), before + "leaf.png\t2.25\t3\r\n");
}

TEST(TResultFile, FullDiskWhileCreatingLeavesNoFile)
{
    const TempFolder folder;
    const std::string file = folder.File("results.txt");
    EXPECT_FALSE(SaveWithFileSizeLimit(SmallTable(), file, 5));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(SaveWithFileSizeLimit(TResult(), file, 0));
    EXPECT_EQ(ReadFile(file), "");
}

TEST(TResultFile, AnEmptyFileGetsTheHeaderFirst)
{
    // A process killed right after creating the file leaves it empty.
    const TempFolder folder;
    const std::string file = folder.File("results.txt");
    WriteFile(file, "");
    ASSERT_TRUE(SmallTable().SaveToFile(file));
    EXPECT_EQ(ReadFile(file), "Name\tArea\tCount\r\nleaf.png\t2.25\t3\r\n");
}

/// The lines of a result file, each checked to end in CR LF.
std::vector<std::string> WholeLines(const std::string& contents)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < contents.size();) {
        const size_t end = contents.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "a last line without its end";
        if (end == std::string::npos)
            break;
        lines.push_back(contents.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(TResultFile, AFailingAppendNeverCutsTheLinesOfOthers)
{
    const TempFolder folder;
    const std::string file = folder.File("shared.txt");
    const TResult table = SmallTable();
    ASSERT_TRUE(table.SaveToFile(file));
    const auto full = rlim_t(ReadFile(file).size());
    constexpr int Appends = 300;
    // One process appends line after line while another, on a full disk, keeps
    // failing and cutting back what it wrote.
    std::vector<pid_t> children;
    for (const bool failing : {false, true}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit sizeLimit{full, full};
            if (failing && ::setrlimit(RLIMIT_FSIZE, &sizeLimit) != 0)
                ::_exit(2);
            int saved = 0;
            for (int i = 0; i < Appends; ++i)
                saved += table.SaveToFile(file) ? 1 : 0;
            ::_exit(saved == (failing ? 0 : Appends) ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto lines = WholeLines(ReadFile(file));
    ASSERT_EQ(lines.size(), size_t(Appends + 2));
    EXPECT_EQ(lines[0], "Name\tArea\tCount");
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], "leaf.png\t2.25\t3") << i;
}

TEST(TResultFile, ManyWritersLeaveOneHeaderAndNoBlankLines)
{
    const TempFolder folder;
    const std::string file = folder.File("new.txt");
    constexpr int Writers = 8;
    constexpr int SavesEach = 40;
    std::vector<pid_t> children;
    for (int writer = 0; writer < Writers; ++writer) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            bool saved = true;
            for (int save = 0; save < SavesEach; ++save)
                saved = SmallTable().SaveToFile(file) && saved;
            ::_exit(saved ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto lines = WholeLines(ReadFile(file));
    ASSERT_EQ(lines.size(), size_t(Writers * SavesEach + 1));
    EXPECT_EQ(lines[0], "Name\tArea\tCount");
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], "leaf.png\t2.25\t3") << i;
}

/// Whether some process waits for a lock (an arrow in /proc/locks).
bool SomeoneWaitsForALock()
{
    return ReadFile("/proc/locks").find("->") != std::string::npos;
}

TEST(TResultFile, AnAppendWaitingForTheLockFollowsAReplacedFile)
{
    const TempFolder folder;
    const std::string file = folder.File("results.txt");
    ASSERT_TRUE(SmallTable().SaveToFile(file));
    const std::string before = ReadFile(file);
    const int held = ::open(file.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The inherited descriptor shares the parent's lock: holding it would wait on itself.
        ::close(held);
        ::_exit(SmallTable().SaveToFile(file) ? 0 : 1);
    }
    for (int i = 0; i < 1000 && !SomeoneWaitsForALock(); ++i)
        ::usleep(10000);
    // While the append waits, the file is replaced by an empty one.
    const std::string replacement = folder.File("replacement.txt");
    WriteFile(replacement, "");
    ASSERT_EQ(::rename(replacement.c_str(), file.c_str()), 0);
    ::close(held);

    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFile(file), "Name\tArea\tCount\r\nleaf.png\t2.25\t3\r\n");
}

} // namespace
} // namespace varnolux
