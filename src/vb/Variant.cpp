#include "vb/Variant.h"

#include "vb/ComError.h"
#include "vb/Strings.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vb {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads an &H or &O literal; false when the text is not one.
bool readRadixLiteral(std::string_view text, double& value)
{
    if (text.size() < 3 || text[0] != '&')
        return false;
    const char kind = static_cast<char>(text[1] | 0x20);
    const int base = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
    if (base == 0)
        return false;
    std::uint64_t number = 0;
    const auto digits = text.substr(2);
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number, base);
    if (ec != std::errc() || end != digits.data() + digits.size() || number > 0xFFFFFFFFu)
        return false;
    value = number;
    return true;
}

// Reads a decimal number with optional sign, point and exponent; false when it is not one.
bool readDecimal(std::string_view text, double& value)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const std::size_t start = j;
        while (j < text.size() && isDigit(text[j]))
            ++j;
        if (j == start)
            return false;
        i = j;
    }
    if (i != text.size())
        return false;
    const std::string copy(text[0] == '+' ? text.substr(1) : text);
    auto [end, ec] = std::from_chars(copy.data(), copy.data() + copy.size(), value);
    if (ec == std::errc::result_out_of_range) {
        value = copy[0] == '-' ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        return true;
    }
    return ec == std::errc() && end == copy.data() + copy.size();
}

bool readNumber(std::string_view text, double& value)
{
    const auto trimmed = trimView(text, " \t\r\n");
    return readRadixLiteral(trimmed, value) || readDecimal(trimmed, value);
}

template <class Int>
Int toInteger(double value)
{
    const double rounded = roundHalfEven(value);
    if (!(rounded >= std::numeric_limits<Int>::min() && rounded <= std::numeric_limits<Int>::max()))
        raise(err::kOverflow);
    return static_cast<Int>(rounded);
}

}  // namespace

bool isNumeric(std::string_view text)
{
    double ignored = 0;
    return readNumber(text, ignored);
}

double toDouble(std::string_view text)
{
    double value = 0;
    if (readNumber(text, value))
        return value;
    const auto trimmed = trimView(text, " ");
    if (equalsIgnoreCase(trimmed, "True"))
        return -1;
    if (equalsIgnoreCase(trimmed, "False"))
        return 0;
    raise(err::kTypeMismatch);
}

double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

std::int16_t toInt16(double value)
{
    return toInteger<std::int16_t>(value);
}
std::int32_t toInt32(double value)
{
    return toInteger<std::int32_t>(value);
}

float toSingle(double value)
{
    if (std::isnan(value))
        raise(err::kOverflow);
    if (std::fabs(value) > std::numeric_limits<float>::max())
        raise(err::kOverflow);
    return static_cast<float>(value);
}

bool toBool(std::string_view text)
{
    const auto trimmed = trimView(text, " ");
    if (equalsIgnoreCase(trimmed, "True"))
        return true;
    if (equalsIgnoreCase(trimmed, "False"))
        return false;
    double value = 0;
    if (!readNumber(text, value))
        raise(err::kTypeMismatch);
    return value != 0;
}

std::string numberText(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, ec == std::errc() ? end : buffer);
}

bool Variant::toBool() const
{
    return text_ ? vb::toBool(*text_) : false;
}
double Variant::toDouble() const
{
    return text_ ? vb::toDouble(*text_) : 0.0;
}
std::int16_t Variant::toInt16() const
{
    return vb::toInt16(toDouble());
}
std::int32_t Variant::toInt32() const
{
    return vb::toInt32(toDouble());
}
float Variant::toSingle() const
{
    return vb::toSingle(toDouble());
}

}  // namespace vb
