#include "results/ShaFingerprint.h"

#include "support/TempFolder.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <string>
#include <sys/stat.h>

namespace varnolux {
namespace {

using test::TempFolder;
using test::WriteFile;

struct TVector {
    std::string message;
    const char* digest;
};

const TVector NistVectors[] = {
    {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
};

TEST(Sha256, TextGivesThePublishedDigests)
{
    for (const auto& vector : NistVectors)
        EXPECT_EQ(Sha256TextHex(vector.message), vector.digest) << vector.message.size();
}

TEST(Sha256, FileGivesTheDigestOfItsContents)
{
    const TempFolder folder;
    for (const auto& vector : NistVectors) {
        const std::string file = folder.File("image.bin");
        WriteFile(file, vector.message);
        EXPECT_EQ(Sha256FileHex(file), vector.digest) << vector.message.size();
    }
}

std::string OneShotReference(const std::string& bytes)
{
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr);
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += "0123456789abcdef"[digest[i] >> 4];
        hex += "0123456789abcdef"[digest[i] & 15];
    }
    return hex;
}

TEST(Sha256, BlocksDoNotChangeTheDigest)
{
    const TempFolder folder;
    std::uint32_t state = 1;
    std::string bytes;
    for (int i = 0; i < 40000; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes += char(state >> 24);
    }
    for (const std::size_t size : {std::size_t(1), std::size_t(16383), std::size_t(16384),
                                   std::size_t(16385), std::size_t(32768), bytes.size()}) {
        const std::string part = bytes.substr(0, size);
        const std::string expected = OneShotReference(part);
        EXPECT_EQ(Sha256TextHex(part), expected) << size;
        const std::string file = folder.File("part.bin");
        WriteFile(file, part);
        EXPECT_EQ(Sha256FileHex(file), expected) << size;
    }
}

TEST(Sha256, CopyUnderAnotherNameHasTheSameFingerprint)
{
    const TempFolder folder;
    const char raw[] = "\x89PNG\r\n\x1a\n\0\0 binary \r\n";
    const std::string bytes(raw, sizeof raw - 1);
    WriteFile(folder.File("a.png"), bytes);
    std::filesystem::copy_file(folder.File("a.png"), folder.File("copy of a.PNG"));
    const auto original = Sha256FileHex(folder.File("a.png"));
    ASSERT_TRUE(original);
    EXPECT_EQ(original, Sha256FileHex(folder.File("copy of a.PNG")));
    EXPECT_EQ(*original, Sha256TextHex(bytes));
}

TEST(Sha256, UnreadableFilesGiveNothingAndSayWhy)
{
    const TempFolder folder;
    const std::string fifo = folder.File("pipe.png");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    WriteFile(folder.File("file"), "x");
    const struct {
        std::string fileName;
        int error;
    } cases[] = {
        {folder.File("vanished.png"), ENOENT},
        {folder.File("file") + "/below.png", ENOTDIR},
        {folder.Path().string(), EISDIR},
        {"", ENOENT},
        // Nobody writes into the FIFO: reading it would wait for ever.
        {fifo, ENODEV},
    };
    for (const auto& unreadable : cases) {
        int error = 0;
        EXPECT_FALSE(Sha256FileHex(unreadable.fileName, &error)) << unreadable.fileName;
        EXPECT_EQ(error, unreadable.error) << unreadable.fileName;
    }
}

} // namespace
} // namespace varnolux
