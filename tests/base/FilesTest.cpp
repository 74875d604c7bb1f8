#include "base/Files.h"

#include "support/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace varnolux {
namespace {

std::string Contents(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

class Files : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return (folder_.Path() / name).string(); }

    void Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(Path(name), std::ios::binary) << text;
    }

private:
    test::TempFolder folder_;
};

TEST_F(Files, ExistenceTellsFilesFromFoldersAndFollowsLinks)
{
    Write("file", "x");
    std::filesystem::create_directory(Path("folder"));
    std::filesystem::create_symlink(Path("file"), Path("link-to-file"));
    std::filesystem::create_symlink(Path("missing"), Path("dangling"));
    const struct {
        const char* name;
        bool file;
        bool folder;
    } cases[] = {
        {"file", true, false},      {"folder", false, true},   {"link-to-file", true, false},
        {"dangling", false, false}, {"missing", false, false}, {"file/below", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(Path(c.name)), c.file) << c.name;
        EXPECT_EQ(FolderExists(Path(c.name)), c.folder) << c.name;
    }
    EXPECT_FALSE(FileExists(""));
}

TEST_F(Files, CreateFileIfMissingKeepsWhatIsThere)
{
    Write("kept", "results");
    EXPECT_EQ(CreateFileIfMissing(Path("kept")), "");
    EXPECT_EQ(Contents(Path("kept")), "results");

    EXPECT_EQ(CreateFileIfMissing(Path("new")), "");
    EXPECT_TRUE(FileExists(Path("new")));
    EXPECT_EQ(Contents(Path("new")), "");

    EXPECT_NE(CreateFileIfMissing(Path("no-such-folder/new")), "");
    EXPECT_FALSE(FileExists(Path("no-such-folder/new")));
}

TEST_F(Files, CreateFoldersIfMissingMakesEveryMissingLevel)
{
    const std::string nested = Path("a/b/c/");
    EXPECT_EQ(CreateFoldersIfMissing(nested, 0700), "");
    EXPECT_TRUE(FolderExists(nested));
    struct stat status {};
    ASSERT_EQ(::stat(Path("a").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    EXPECT_EQ(CreateFoldersIfMissing(nested), "") << "an existing folder is fine";

    Write("plain", "x");
    EXPECT_NE(CreateFoldersIfMissing(Path("plain/below")), "");
}

} // namespace
} // namespace varnolux
