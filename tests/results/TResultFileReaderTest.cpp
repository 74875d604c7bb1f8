#include "results/TResultFileReader.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace varnolux {
namespace {

using test::TempFolder;
using test::WriteFile;
using TFields = std::vector<std::string>;

std::vector<TResultFileLine> ReadAll(const std::string& fileName)
{
    TResultFileReader reader(fileName);
    std::vector<TResultFileLine> lines;
    while (std::optional<TResultFileLine> line = reader.Next())
        lines.push_back(*std::move(line));
    return lines;
}

TEST(TResultFileReader, SplitsLinesOfEitherEndAndTheirFields)
{
    const TempFolder folder;
    const std::string file = folder.File("results.txt");
    WriteFile(file, "Path\tName\r\n/a/\tb.bmp\n\n/c/\t\r\n\t\tx\r\nlast\twithout end");
    const std::vector<TResultFileLine> lines = ReadAll(file);
    ASSERT_EQ(lines.size(), 6u);
    const TFields expected[] = {{"Path", "Name"}, {"/a/", "b.bmp"}, {""},
                                {"/c/", ""},      {"", "", "x"},    {"last", "without end"}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].Number, i + 1);
        EXPECT_EQ(lines[i].Fields, expected[i]) << i;
        EXPECT_FALSE(lines[i].TooLong);
    }
    EXPECT_EQ(lines[0].EndOffset, 11u);
    EXPECT_EQ(lines[1].EndOffset, 21u);
    EXPECT_EQ(lines.back().EndOffset, TResultFileReader(file).Size());
}

TEST(TResultFileReader, AnEmptyFileHasNoLines)
{
    const TempFolder folder;
    WriteFile(folder.File("empty.txt"), "");
    EXPECT_TRUE(ReadAll(folder.File("empty.txt")).empty());
    // A lone line end is one empty line.
    WriteFile(folder.File("blank.txt"), "\r\n");
    const auto lines = ReadAll(folder.File("blank.txt"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Fields, TFields{""});
}

TEST(TResultFileReader, AnOverlongLineIsSkippedNotKept)
{
    const TempFolder folder;
    const std::string file = folder.File("results.txt");
    const std::size_t limit = TResultFileReader::MaxLineLength;
    // Lines around the limit and one of many buffers, none ending at a buffer's end.
    WriteFile(file, "a\n" + std::string(limit, 'x') + "\r\n" + std::string(limit + 1, 'y') + "\n" +
                        std::string(5 * limit + 7, '\t') + "\nb\tc");
    const std::vector<TResultFileLine> lines = ReadAll(file);
    ASSERT_EQ(lines.size(), 5u);
    ASSERT_EQ(lines[1].Fields.size(), 1u);
    EXPECT_TRUE(lines[1].Fields[0] == std::string(limit, 'x'));
    EXPECT_FALSE(lines[1].TooLong);
    for (const std::size_t i : {2u, 3u}) {
        EXPECT_TRUE(lines[i].TooLong) << i;
        EXPECT_EQ(lines[i].Fields, TFields{""}) << i;
    }
    EXPECT_EQ(lines[4].Fields, (TFields{"b", "c"}));
    EXPECT_EQ(lines[4].Number, 5u);
}

TEST(TResultFileReader, WhatCannotBeReadSaysWhy)
{
    const TempFolder folder;
    const std::string fifo = folder.File("pipe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {folder.File("missing.txt"), "No such file or directory"},
        {folder.Path().string(), "Is a directory"},
        // Opening a FIFO nobody writes to must not wait.
        {fifo, "not a regular file"},
    };
    for (const auto& [fileName, why] : cases) {
        try {
            TResultFileReader reader(fileName);
            ADD_FAILURE() << fileName << " was opened";
        } catch (const TResultFileError& error) {
            EXPECT_EQ(error.what(), why);
        }
    }
}

} // namespace
} // namespace varnolux
