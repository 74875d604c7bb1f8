#pragma once

#include "results/TResult.h"

#include <string>
#include <string_view>

namespace varnolux {

/// The table as one JSON object on one line, keys in table order: floating-point
/// items as numbers in general format with a decimal point (null when not finite),
/// integer items as integers, texts as strings.
std::string ResultJsonObject(const TResult& result);

/// A JSON string literal of UTF-8 text; bytes that are not UTF-8 become U+FFFD.
std::string JsonString(std::string_view text);

} // namespace varnolux
