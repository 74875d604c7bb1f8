#include "results/ResultJson.h"

#include "results/NumberFormat.h"

#include <cmath>
#include <cstdint>

namespace varnolux {

namespace {

constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";

/// The length of the well-formed UTF-8 sequence at the start of text, 0 when none.
std::size_t Utf8SequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) {
        return std::uint8_t(text[i]);
    };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        // No overlong forms, no surrogates.
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

void AppendEscaped(std::string& json, char c)
{
    static constexpr char Hex[] = "0123456789abcdef";
    switch (c) {
    case '"':
        json += "\\\"";
        break;
    case '\\':
        json += "\\\\";
        break;
    case '\n':
        json += "\\n";
        break;
    case '\r':
        json += "\\r";
        break;
    case '\t':
        json += "\\t";
        break;
    default:
        if (std::uint8_t(c) < 0x20) {
            json += "\\u00";
            json += Hex[std::uint8_t(c) >> 4];
            json += Hex[std::uint8_t(c) & 0xF];
        } else {
            json += c;
        }
    }
}

std::string JsonValue(const TResultItem& item)
{
    switch (item.Kind) {
    case TResultItem::KindFloat:
        return std::isfinite(item.DoubleValue) ? FormatGeneral(item.DoubleValue, ".") : "null";
    case TResultItem::KindInteger:
        return std::to_string(item.IntValue);
    default:
        return JsonString(item.ValueText);
    }
}

} // namespace

std::string JsonString(std::string_view text)
{
    std::string json = "\"";
    json.reserve(text.size() + 2);
    while (!text.empty()) {
        const std::size_t length = Utf8SequenceLength(text);
        if (length == 0) {
            json += ReplacementCharacter;
            text.remove_prefix(1);
        } else if (length == 1) {
            AppendEscaped(json, text.front());
            text.remove_prefix(1);
        } else {
            json.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return json + "\"";
}

std::string ResultJsonObject(const TResult& result)
{
    std::string json = "{";
    for (const TResultItem& item : result.Items()) {
        if (json.size() > 1)
            json += ",";
        json += JsonString(item.Name) + ":" + JsonValue(item);
    }
    return json + "}";
}

} // namespace varnolux
