#include "results/ShaFingerprint.h"

#include "base/TFileDescriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <new>
#include <openssl/evp.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace varnolux {

namespace {

constexpr std::size_t BlockSize = 16384;

struct TDigestContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

/// An incremental SHA-256 digest; every step reports whether OpenSSL succeeded.
class TSha256 {
public:
    TSha256()
        : context_(EVP_MD_CTX_new())
    {
        // All OpenSSL can lack here is memory.
        if (!context_)
            throw std::bad_alloc();
        ok_ = EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) == 1;
    }

    void Add(std::string_view bytes)
    {
        ok_ = ok_ && EVP_DigestUpdate(context_.get(), bytes.data(), bytes.size()) == 1;
    }

    /// The digest as lowercase hexadecimal digits; nothing when a step failed.
    std::optional<std::string> Hex()
    {
        std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
        unsigned int length = 0;
        if (!ok_ || EVP_DigestFinal_ex(context_.get(), digest.data(), &length) != 1)
            return std::nullopt;
        static constexpr char HexDigits[] = "0123456789abcdef";
        std::string hex;
        for (unsigned int i = 0; i < length; ++i) {
            hex += HexDigits[digest[i] >> 4];
            hex += HexDigits[digest[i] & 0x0f];
        }
        return hex;
    }

private:
    std::unique_ptr<EVP_MD_CTX, TDigestContextDeleter> context_;
    bool ok_ = false;
};

} // namespace

std::string Sha256TextHex(std::string_view bytes)
{
    TSha256 sha;
    for (std::size_t start = 0; start < bytes.size(); start += BlockSize)
        sha.Add(bytes.substr(start, BlockSize));
    std::optional<std::string> hex = sha.Hex();
    if (!hex)
        throw std::runtime_error("Internal error: SHA-256 digest failed");
    return *hex;
}

std::optional<std::string> Sha256FileHex(const std::string& fileName, int* error)
{
    const auto fail = [error](int number) {
        if (error)
            *error = number;
        return std::nullopt;
    };
    // Not blocking: opening a FIFO for reading would wait for a writer.
    const TFileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.IsOpen())
        return fail(errno);
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0)
        return fail(errno);
    if (S_ISDIR(status.st_mode))
        return fail(EISDIR);
    if (!S_ISREG(status.st_mode))
        return fail(ENODEV);
    TSha256 sha;
    std::array<char, BlockSize> block{};
    for (;;) {
        const ssize_t count = ::read(file.Get(), block.data(), block.size());
        if (count == 0) {
            std::optional<std::string> hex = sha.Hex();
            return hex ? hex : fail(EIO);
        }
        if (count < 0 && errno != EINTR)
            return fail(errno);
        if (count > 0)
            sha.Add({block.data(), std::size_t(count)});
    }
}

const std::array<const char*, 16>& ResultFingerprintItems()
{
    static const std::array<const char*, 16> items = {"AreaPercent",  "AnalysisAreaPixel",
                                                      "AnalysisArea", "AreaPixel",
                                                      "Area",         "MeanSizePixel",
                                                      "MeanSize",     "Measure",
                                                      "Count",        "MinRegion",
                                                      "HMin",         "HMax",
                                                      "VMin",         "HMax",
                                                      "SMin",         "SMax"};
    return items;
}

std::string ResultFingerprint(const TResult& result)
{
    std::string text;
    for (const char* name : ResultFingerprintItems())
        text += result.GetValueText(name);
    return Sha256TextHex(text);
}

std::string OptionsFingerprint(const TOptions& options, std::string_view measureText)
{
    std::string text;
    for (const std::string& rangeText : options.rangeTexts)
        text += rangeText;
    text += measureText;
    text += options.EditMinRegion;
    for (const int value : {options.iInclCircleX, options.iInclCircleY, options.iInclCircleDiam,
                            options.iExclRectLeft, options.iExclRectUp, options.iExclRectRight,
                            options.iExclRectDown})
        text += std::to_string(value);
    text += options.lUseInclCircle ? "1" : "0";
    text += options.lUseExclRect ? "1" : "0";
    return Sha256TextHex(text);
}

} // namespace varnolux
