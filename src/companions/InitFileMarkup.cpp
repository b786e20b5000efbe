#include "companions/InitFileMarkup.h"

#include <string>

namespace quorin {
namespace {

constexpr auto npos = std::u16string::npos;

std::u16string unitsOf(const vb::ByteArray& bytes)
{
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return units;
}

vb::ByteArray bytesOf(const std::u16string& units)
{
    vb::ByteArray bytes;
    bytes.reserve(2 * units.size() + 1);
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

// Where the markup opening at a ends (one past its closing mark); npos when it is not closed.
std::size_t processingInstructionEnd(const std::u16string& text, std::size_t a)
{
    const auto close = text.find(u"?>", a + 2);
    return close == npos ? npos : close + 2;
}

std::size_t declarationEnd(const std::u16string& text, std::size_t a)
{
    const auto bang = text.find(u"!>", a + 2);
    if (bang != npos && bang + 1 == text.find(u'>', a + 2))
        return bang + 2;
    const auto comment = text.find(u"-->", a + 2);
    return comment == npos ? npos : comment + 3;
}

template <class EndOf>
void cutAll(std::u16string& text, std::u16string_view opening, EndOf endOf)
{
    for (auto a = text.find(opening); a != npos; a = text.find(opening, a)) {
        const auto end = endOf(text, a);
        if (end == npos) {
            a += opening.size();
            continue;
        }
        text.erase(a, end - a);
        // The cut may join a "<" before it with what follows into a new opening mark.
        a = a > 0 ? a - 1 : 0;
    }
}

}  // namespace

vb::ByteArray stripInitFileMarkup(const vb::ByteArray& bytes)
{
    auto text = unitsOf(bytes);
    cutAll(text, u"<?", processingInstructionEnd);
    cutAll(text, u"<!", declarationEnd);
    auto result = bytesOf(text);
    if (bytes.size() % 2 != 0)
        result.push_back(bytes.back());
    return result;
}

}  // namespace quorin
