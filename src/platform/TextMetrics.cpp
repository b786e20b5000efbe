#include "platform/TextMetrics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace platform {
namespace {

std::size_t codePoints(std::string_view text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::int32_t twips(double value)
{
    constexpr double limit = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::min(std::round(value), limit));
}

// The lines of text split at LF, each without a trailing CR.
std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> result;
    for (;;) {
        const auto end = text.find('\n');
        auto line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        result.push_back(line);
        if (end == std::string_view::npos)
            return result;
        text.remove_prefix(end + 1);
    }
}

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> result;
    std::size_t at = 0;
    while (at < line.size()) {
        const auto start = line.find_first_not_of(' ', at);
        if (start == std::string_view::npos)
            break;
        const auto end = std::min(line.find(' ', start), line.size());
        result.push_back(line.substr(start, end - start));
        at = end;
    }
    return result;
}

// Code-point counts of the lines a paragraph wraps into when a line holds at most maxChars.
std::vector<std::size_t> wrap(std::string_view paragraph, std::size_t maxChars)
{
    std::vector<std::size_t> result;
    std::size_t current = 0;
    bool open = false;
    for (auto word : words(paragraph)) {
        auto length = codePoints(word);
        if (open && current + 1 + length <= maxChars) {
            current += 1 + length;
            continue;
        }
        if (open)
            result.push_back(current);
        while (length > maxChars) {
            result.push_back(maxChars);
            length -= maxChars;
        }
        current = length;
        open = true;
    }
    result.push_back(current);
    return result;
}

}  // namespace

double TextMetrics::advance(const Font& font)
{
    return font.size() * 20.0 * (font.bold() ? 0.55 : 0.5);
}

std::int32_t TextMetrics::lineHeight(const Font& font)
{
    return twips(font.size() * 20.0 * 1.2);
}

TextMetrics::Size TextMetrics::measure(const Font& font, std::string_view text)
{
    const auto all = lines(text);
    std::size_t widest = 0;
    for (auto line : all)
        widest = std::max(widest, codePoints(line));
    return {twips(static_cast<double>(widest) * advance(font)),
            twips(static_cast<double>(all.size()) * lineHeight(font))};
}

TextMetrics::Size TextMetrics::measureWrapped(const Font& font, std::string_view text, std::int32_t width)
{
    const auto step = advance(font);
    auto fit = step > 0 ? std::floor((std::max(width, 0) + 0.5) / step) : std::numeric_limits<double>::max();
    // A line fits when its rounded width does, so a label wraps exactly past its own measured width.
    if (step > 0 && twips(fit * step) > width)
        fit -= 1;
    const auto maxChars = static_cast<std::size_t>(std::clamp(fit, 1.0, 1e9));
    std::size_t widest = 0;
    std::size_t count = 0;
    for (auto paragraph : lines(text)) {
        for (auto length : wrap(paragraph, maxChars)) {
            widest = std::max(widest, length);
            ++count;
        }
    }
    return {twips(static_cast<double>(widest) * step), twips(static_cast<double>(count) * lineHeight(font))};
}

}  // namespace platform
