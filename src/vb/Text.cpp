#include "vb/Text.h"

namespace vb {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Writes cp as UTF-8 at out and returns the position after it.
char* writeUtf8(char* out, char32_t cp)
{
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

bool isHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Decodes one code point at text[i], advancing i; malformed input yields U+FFFD and one byte.
char32_t decodeUtf8(std::string_view text, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + length > text.size()) {
        ++i;
        return kReplacement;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += length;
    return cp;
}

void appendUnit(ByteArray& out, char32_t unit)
{
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

}  // namespace

std::string textFromBytes(const std::uint8_t* data, std::size_t size)
{
    const std::size_t units = size / 2;
    // Sized for ASCII, nearly all of an item's text; the first wider unit makes room for three
    // bytes per unit left, as no unit takes more, nor a surrogate pair more than its two units' six.
    std::string out(units, '\0');
    std::size_t at = 0;
    bool widened = false;
    auto unitAt = [data](std::size_t k) -> char32_t { return data[2 * k] | (data[2 * k + 1] << 8); };
    for (std::size_t k = 0; k < units; ++k) {
        const std::uint8_t* pair = data + 2 * k;
        if (k + 4 <= units && ((pair[0] | pair[2] | pair[4] | pair[6]) & 0x80) == 0
            && (pair[1] | pair[3] | pair[5] | pair[7]) == 0) {
            out[at] = static_cast<char>(pair[0]);
            out[at + 1] = static_cast<char>(pair[2]);
            out[at + 2] = static_cast<char>(pair[4]);
            out[at + 3] = static_cast<char>(pair[6]);
            at += 4;
            k += 3;
            continue;
        }
        const char32_t unit = unitAt(k);
        if (unit < 0x80) {
            out[at++] = static_cast<char>(unit);
            continue;
        }
        if (!widened) {
            out.resize(at + (units - k) * 3);
            widened = true;
        }
        char* end = out.data() + at;
        if (isHighSurrogate(unit) && k + 1 < units && isLowSurrogate(unitAt(k + 1))) {
            end = writeUtf8(end, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(k + 1) - 0xDC00));
            ++k;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            end = writeUtf8(end, kReplacement);
        } else {
            end = writeUtf8(end, unit);
        }
        at = static_cast<std::size_t>(end - out.data());
    }
    out.resize(at);
    return out;
}

ByteArray bytesFromText(std::string_view text)
{
    ByteArray out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size();) {
        // ASCII, nearly all of an item's text, is one unit without decoding.
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            out.push_back(static_cast<std::uint8_t>(text[i++]));
            out.push_back(0);
            continue;
        }
        const char32_t cp = decodeUtf8(text, i);
        if (cp >= 0x10000) {
            appendUnit(out, 0xD800 + ((cp - 0x10000) >> 10));
            appendUnit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            appendUnit(out, cp);
        }
    }
    return out;
}

std::size_t utf16Length(std::string_view text)
{
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++units;
            ++i;
            continue;
        }
        units += decodeUtf8(text, i) >= 0x10000 ? 2 : 1;
    }
    return units;
}

}  // namespace vb
