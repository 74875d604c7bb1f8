#include "chart/FormatFloat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <vector>

namespace varnolux {

namespace {

/// The value 0.Digits × 10^Exponent; Digits without trailing zeros, empty for zero.
struct Decimal {
    std::string Digits;
    int Exponent = 0;

    bool IsZero() const { return Digits.empty(); }
};

void StripTrailingZeros(Decimal& d)
{
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    if (d.Digits.empty())
        d.Exponent = 0;
}

Decimal ToDecimal(double magnitude)
{
    Decimal d;
    if (magnitude == 0.0)
        return d;
    std::array<char, 40> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                       std::chars_format::scientific, 14);
    const std::string_view scientific(text.data(), written.ptr - text.data());
    const auto e = scientific.find('e');
    for (char c : scientific.substr(0, e))
        if (c != '.')
            d.Digits.push_back(c);
    int exponent = 0;
    const std::string_view exponentText = scientific.substr(e + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);
    d.Exponent = exponent + 1;
    StripTrailingZeros(d);
    return d;
}

/// Rounds half away from zero to the given number of decimals.
void RoundToDecimals(Decimal& d, int decimals)
{
    const int keep = d.Exponent + decimals;
    if (keep >= static_cast<int>(d.Digits.size()))
        return;
    if (keep < 0) {
        d = {};
        return;
    }
    const bool up = d.Digits[keep] >= '5';
    d.Digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.Digits[i] == '9')
            d.Digits[i--] = '0';
        if (i < 0) {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        } else {
            ++d.Digits[i];
        }
    }
    StripTrailingZeros(d);
}

enum class TokenKind { RequiredDigit, OptionalDigit, Point, Literal };

struct Token {
    TokenKind Kind;
    std::string_view Text;
};

bool IsQuote(char c)
{
    return c == '\'' || c == '"';
}

/// The sections of a pattern; separators inside quotes do not count.
std::vector<std::string_view> SplitSections(std::string_view pattern)
{
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (IsQuote(c)) {
            quote = c;
        } else if (c == ';' && sections.size() < 2) {
            sections.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(pattern.substr(start));
    return sections;
}

std::vector<Token> Tokenize(std::string_view section)
{
    std::vector<Token> tokens;
    bool pointSeen = false;
    for (std::size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        if (IsQuote(c)) {
            const auto end = section.find(c, i + 1);
            const auto stop = end == std::string_view::npos ? section.size() : end;
            tokens.push_back({TokenKind::Literal, section.substr(i + 1, stop - i - 1)});
            i = stop;
        } else if (c == '0') {
            tokens.push_back({TokenKind::RequiredDigit, {}});
        } else if (c == '#') {
            tokens.push_back({TokenKind::OptionalDigit, {}});
        } else if (c == '.' && !pointSeen) {
            pointSeen = true;
            tokens.push_back({TokenKind::Point, {}});
        } else {
            tokens.push_back({TokenKind::Literal, section.substr(i, 1)});
        }
    }
    return tokens;
}

bool IsDigitToken(const Token& t)
{
    return t.Kind == TokenKind::RequiredDigit || t.Kind == TokenKind::OptionalDigit;
}

/// What a section asks for: digit places before and after the point.
struct Layout {
    int IntegerPlaces = 0;
    int MinIntegerDigits = 0;
    int MaxDecimals = 0;
    int MinDecimals = 0;
};

Layout LayoutOf(const std::vector<Token>& tokens)
{
    Layout layout;
    bool afterPoint = false;
    bool requiredSeen = false;
    for (const Token& t : tokens) {
        if (t.Kind == TokenKind::Point) {
            afterPoint = true;
        } else if (IsDigitToken(t)) {
            const bool required = t.Kind == TokenKind::RequiredDigit;
            if (afterPoint) {
                ++layout.MaxDecimals;
                if (required)
                    layout.MinDecimals = layout.MaxDecimals;
            } else {
                ++layout.IntegerPlaces;
                requiredSeen = requiredSeen || required;
                if (requiredSeen)
                    ++layout.MinIntegerDigits;
            }
        }
    }
    return layout;
}

std::string IntegerDigits(const Decimal& d, int minDigits)
{
    std::string digits;
    for (int i = 0; i < d.Exponent; ++i)
        digits.push_back(i < static_cast<int>(d.Digits.size()) ? d.Digits[i] : '0');
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, minDigits - digits.size(), '0');
    return digits;
}

std::string DecimalDigits(const Decimal& d, const Layout& layout)
{
    std::string digits;
    for (int j = 0; j < layout.MaxDecimals; ++j) {
        const int index = d.Exponent + j;
        digits.push_back(index >= 0 && index < static_cast<int>(d.Digits.size()) ? d.Digits[index]
                                                                                 : '0');
    }
    while (static_cast<int>(digits.size()) > layout.MinDecimals && digits.back() == '0')
        digits.pop_back();
    return digits;
}

std::string Render(const std::vector<Token>& tokens, const Layout& layout, const Decimal& d,
                   bool negative, std::string_view separator)
{
    const std::string integer = IntegerDigits(d, layout.MinIntegerDigits);
    const std::string decimals = DecimalDigits(d, layout);
    const int integerLength = static_cast<int>(integer.size());
    std::string text = negative ? "-" : "";
    int placesLeft = layout.IntegerPlaces;
    std::size_t decimalIndex = 0;
    bool afterPoint = false;
    for (const Token& t : tokens) {
        if (t.Kind == TokenKind::Literal) {
            text += t.Text;
        } else if (t.Kind == TokenKind::Point) {
            afterPoint = true;
            if (layout.IntegerPlaces == 0)
                text += integer;
            if (!decimals.empty())
                text += separator;
        } else if (afterPoint) {
            if (decimalIndex < decimals.size())
                text.push_back(decimals[decimalIndex]);
            ++decimalIndex;
        } else {
            // The first place also takes the digits the pattern has no places for.
            if (placesLeft == layout.IntegerPlaces && integerLength > placesLeft)
                text += integer.substr(0, integerLength - placesLeft);
            --placesLeft;
            if (placesLeft < integerLength)
                text.push_back(integer[integerLength - 1 - placesLeft]);
        }
    }
    return text;
}

std::string GeneralFormat(double value, std::string_view separator)
{
    std::array<char, 40> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value,
                                       std::chars_format::general, 15);
    std::string result;
    for (const char* c = text.data(); c != written.ptr; ++c) {
        if (*c == '.')
            result += separator;
        else
            result.push_back(*c == 'e' ? 'E' : *c);
    }
    return result;
}

} // namespace

std::string FormatFloat(double value, std::string_view pattern, std::string_view decimalSeparator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    const std::vector<std::string_view> sections = SplitSections(pattern);
    const bool ownNegativeSection = value < 0 && sections.size() > 1 && !sections[1].empty();
    std::string_view section = ownNegativeSection ? sections[1] : sections[0];
    if (section.empty())
        return GeneralFormat(value, decimalSeparator);

    const Decimal magnitude = ToDecimal(std::fabs(value));
    std::vector<Token> tokens = Tokenize(section);
    Layout layout = LayoutOf(tokens);
    Decimal rounded = magnitude;
    RoundToDecimals(rounded, layout.MaxDecimals);
    bool negative = value < 0 && !ownNegativeSection;
    if (rounded.IsZero()) {
        // Nothing left to show: no "-0", and the zero section when there is one.
        negative = false;
        if (sections.size() > 2 && !sections[2].empty()) {
            tokens = Tokenize(sections[2]);
            layout = LayoutOf(tokens);
        }
    }
    return Render(tokens, layout, rounded, negative, decimalSeparator);
}

} // namespace varnolux
