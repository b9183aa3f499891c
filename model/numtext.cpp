#include "model/numtext.h"

#include "model/exact_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cerrno>
#include <cstdlib>
#include <locale.h>

#include "model/error.h"

namespace trelmox {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Advances over decimal digits and returns how many there were.
std::size_t skipDigits(const std::string& text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos])) ++pos;
    return pos - start;
}

void skipSign(const std::string& text, std::size_t& pos) {
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
}

// [+-] digits [. digits] [(e|E) [+-] digits], at least one mantissa digit.
bool isDecimalNumber(const std::string& text) {
    std::size_t pos = 0;
    skipSign(text, pos);
    std::size_t mantissaDigits = skipDigits(text, pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        mantissaDigits += skipDigits(text, pos);
    }
    if (mantissaDigits == 0) return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        skipSign(text, pos);
        if (skipDigits(text, pos) == 0) return false;
    }
    return pos == text.size();
}

// The "C" locale, so that the decimal separator is "." whatever the process
// locale is (a windowed program sets the user's locale at start-up).
locale_t classicLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

// A validated decimal text as sign, significand and power of ten, the
// significand exact only while it has at most 19 significant digits.
struct DecimalParts {
    bool negative = false;
    std::uint64_t significand = 0;
    int significantDigits = 0;
    long exponent = 0;
};

void addDigit(DecimalParts& parts, char digit) {
    if (parts.significantDigits == 0 && digit == '0') return; // leading zero
    ++parts.significantDigits;
    if (parts.significantDigits <= 19) parts.significand = parts.significand * 10 + static_cast<unsigned>(digit - '0');
}

// The exponent is clamped far beyond any double's range so that it cannot
// overflow; only small exponents are used here anyway.
long exponentValue(const std::string& text, std::size_t pos) {
    const bool negative = text[pos] == '-';
    if (text[pos] == '+' || text[pos] == '-') ++pos;
    long value = 0;
    for (; pos < text.size(); ++pos) value = std::min(value * 10 + (text[pos] - '0'), 100000L);
    return negative ? -value : value;
}

DecimalParts decimalParts(const std::string& text) {
    DecimalParts parts;
    std::size_t pos = 0;
    parts.negative = text[0] == '-';
    if (text[0] == '+' || text[0] == '-') ++pos;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        addDigit(parts, text[pos]);
        if (parts.significantDigits > 19) ++parts.exponent; // digits not kept still scale
    }
    if (pos < text.size() && text[pos] == '.') {
        for (++pos; pos < text.size() && isDigit(text[pos]); ++pos) {
            addDigit(parts, text[pos]);
            if (parts.significantDigits <= 19) --parts.exponent;
        }
    }
    if (pos < text.size()) parts.exponent += exponentValue(text, pos + 1);
    return parts;
}

// Clinger's fast path: a significand of at most 15 digits and a power of ten
// up to 10^22 are both exact doubles, so one IEEE multiplication or division
// rounds the exact value correctly, as the general conversion would.
bool convertExactly(const DecimalParts& parts, double& value) {
    static constexpr double powersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (parts.significantDigits > 15 || parts.exponent < -22 || parts.exponent > 22) return false;
    const auto significand = static_cast<double>(parts.significand);
    const double magnitude =
        parts.exponent < 0 ? significand / powersOfTen[-parts.exponent] : significand * powersOfTen[parts.exponent];
    value = parts.negative ? -magnitude : magnitude;
    return true;
}

Error floatError(const std::string& text) {
    return Error::numberText("'" + text + "' is not a valid floating point value");
}

// Mantissa digits (without the point) and decimal exponent of `value`
// rounded to 15 significant digits, trailing zeros removed.
struct RoundedDecimal {
    std::string digits;
    int exponent = 0;
};

RoundedDecimal roundTo15Digits(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    const std::string text(buffer, result.ptr); // d.dddddddddddddde[+-]x
    const std::size_t e = text.find('e');
    RoundedDecimal rounded;
    rounded.digits = text.substr(0, 1) + text.substr(2, e - 2);
    rounded.exponent = std::stoi(text.substr(e + 1));
    while (rounded.digits.size() > 1 && rounded.digits.back() == '0') rounded.digits.pop_back();
    return rounded;
}

// The shortest digits that read back as `value` (to_chars' round trip).
RoundedDecimal shortestDigits(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
    const std::string text(buffer, result.ptr); // d[.ddd]e[+-]x
    const std::size_t e = text.find('e');
    RoundedDecimal shortest;
    shortest.digits = text.substr(0, 1) + (e > 1 ? text.substr(2, e - 2) : std::string());
    shortest.exponent = std::stoi(text.substr(e + 1));
    while (shortest.digits.size() > 1 && shortest.digits.back() == '0') shortest.digits.pop_back();
    return shortest;
}

std::string fixedNotation(const RoundedDecimal& r) {
    const int pointAfter = r.exponent + 1; // digits before the decimal point
    if (pointAfter <= 0) return "0." + std::string(-pointAfter, '0') + r.digits;
    const auto count = static_cast<std::size_t>(pointAfter);
    if (r.digits.size() <= count) return r.digits + std::string(count - r.digits.size(), '0');
    return r.digits.substr(0, count) + "." + r.digits.substr(count);
}

std::string scientificNotation(const RoundedDecimal& r) {
    std::string text = r.digits.substr(0, 1);
    if (r.digits.size() > 1) text += "." + r.digits.substr(1);
    return text + "E" + std::to_string(r.exponent);
}

} // namespace

// Results too small for a double round to the nearest representable value
// (a subnormal number or zero), as a person typing 1e-400 means "nothing";
// results too large are rejected, because no finite double stands for them.
double textToFloat(const std::string& text) {
    if (!isDecimalNumber(text)) throw floatError(text);
    double value = 0;
    if (convertExactly(decimalParts(text), value)) return value;
    errno = 0;
    value = strtod_l(text.c_str(), nullptr, classicLocale());
    if (errno == ERANGE && std::isinf(value)) throw floatError(text);
    return value;
}

std::int32_t textToInt32(const std::string& text) {
    std::size_t pos = 0;
    skipSign(text, pos);
    const bool wellFormed = skipDigits(text, pos) > 0 && pos == text.size();
    // from_chars takes "-" but not "+".
    const char* first = text.data() + (text.starts_with('+') ? 1 : 0);
    std::int32_t value = 0;
    const auto result = std::from_chars(first, text.data() + text.size(), value);
    if (!wellFormed || result.ec != std::errc{}) throw Error::numberText("'" + text + "' is not a valid integer value");
    return value;
}

namespace {

std::string generalFormat(double value, RoundedDecimal (*digitsOf)(double)) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) return "0";
    const RoundedDecimal rounded = digitsOf(value);
    const bool fixed = rounded.exponent >= -4 && rounded.exponent < 15;
    const std::string magnitude = fixed ? fixedNotation(rounded) : scientificNotation(rounded);
    return value < 0 ? "-" + magnitude : magnitude;
}

} // namespace

std::string floatToText(double value) { return generalFormat(value, roundTo15Digits); }

std::string floatToExactText(double value) { return generalFormat(value, shortestDigits); }

std::string floatToFixed4(double value) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
    std::string text(buffer, result.ptr);
    if (text == "-0.0000") return "0.0000";
    return text;
}

std::string boundToText(double bound) {
    if (std::isinf(bound)) return bound > 0 ? "∞" : "-∞";
    return floatToText(bound);
}

} // namespace trelmox
