#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vb {

// A value read from a document: Empty (nothing there) or a string. The conversions follow the
// VB runtime: Empty is 0, false or ""; numbers round half to even; a value out of range is
// error 6 and a non-numeric text error 13.
class Variant {
public:
    Variant() = default;
    Variant(std::string text) : text_(std::move(text)) {}
    Variant(const char* text) : text_(std::string(text)) {}

    bool isEmpty() const { return !text_.has_value(); }

    // The text; "" for Empty.
    std::string toString() const { return text_.value_or(std::string()); }

    // "True"/"False" in any letter case, or a number (non-zero is true); else error 13.
    bool toBool() const;
    std::int16_t toInt16() const;
    std::int32_t toInt32() const;
    float toSingle() const;
    double toDouble() const;

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    std::optional<std::string> text_;
};

// Whether the text reads as a number: blanks around an optional sign, digits with an optional
// decimal point and exponent, or &H/&O literals.
bool isNumeric(std::string_view text);

// The number a text reads as; "True"/"False" read as -1 and 0. Error 13 when it is neither.
double toDouble(std::string_view text);

// Rounds half to even, as the runtime's integer conversions do.
double roundHalfEven(double value);

// Integer conversions of a number: rounded half to even, error 6 when out of range.
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);
float toSingle(double value);

bool toBool(std::string_view text);

// The runtime's text form of a number: integers without a decimal point, others shortest.
std::string numberText(double value);

// "True" or "False".
inline std::string boolText(bool value)
{
    return value ? "True" : "False";
}

}  // namespace vb
