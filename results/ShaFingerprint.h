#pragma once

#include "results/TResult.h"
#include "settings/TOptions.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace varnolux {

/// SHA-256 of a byte sequence as 64 lowercase hexadecimal digits.
std::string Sha256TextHex(std::string_view bytes);

/// SHA-256 of a file's contents, read in blocks of 16384 bytes; nothing when the file
/// cannot be opened or read, with the error number in *error when given. Only a
/// regular file is read: a FIFO or a device would wait or never end (ENODEV then).
std::optional<std::string> Sha256FileHex(const std::string& fileName, int* error = nullptr);

/// The result items whose value texts make up SHAResult, in order. Stored result files
/// carry fingerprints over exactly this list: "HMax" twice, "VMax" not at all.
const std::array<const char*, 16>& ResultFingerprintItems();

/// SHAResult of a result table: the fingerprint of those value texts, joined without
/// separators (an item the table lacks counts as empty).
std::string ResultFingerprint(const TResult& result);

/// SHAOptions of a run: the fingerprint of its six range texts, the main window's
/// measure text (empty while units are off), the minimum size as typed, the seven
/// analysis-area integers and the two switches as "1" or "0", joined without separators.
std::string OptionsFingerprint(const TOptions& options, std::string_view measureText);

} // namespace varnolux
