#include "vb/Strings.h"

#include <algorithm>

namespace vb {
namespace {

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

}  // namespace

std::string_view trimView(std::string_view text, std::string_view set)
{
    const auto first = text.find_first_not_of(set);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(set);
    return text.substr(first, last - first + 1);
}

std::string trim(std::string_view text)
{
    return std::string(trimView(text, " "));
}

std::string upperAscii(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), upper);
    return result;
}

std::string lowerAscii(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), lower);
    return result;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upper(x) == upper(y); });
}

bool equalsIgnoreCase(char a, char b)
{
    return upper(a) == upper(b);
}

std::size_t findIgnoringCase(std::string_view text, std::string_view needle, std::size_t from)
{
    if (from > text.size() || needle.size() > text.size() - from)
        return std::string_view::npos;
    if (needle.empty())
        return from;
    // A needle opening with a letter is found by either case of it; any other opening byte by
    // the library's own search, which is far quicker than comparing byte by byte.
    const char first = upper(needle.front());
    const bool letter = first != lower(needle.front());
    const std::size_t last = text.size() - needle.size();
    for (auto at = from; at <= last; ++at) {
        if (!letter) {
            at = text.find(first, at);
            if (at > last)
                return std::string_view::npos;
        } else if (upper(text[at]) != first) {
            continue;
        }
        if (equalsIgnoreCase(text.substr(at, needle.size()), needle))
            return at;
    }
    return std::string_view::npos;
}

std::string_view leftCodePoints(std::string_view text, std::size_t count)
{
    std::size_t i = 0;
    while (i < text.size() && count > 0) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
        --count;
    }
    return text.substr(0, i);
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return text;
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::vector<std::string> split(std::string_view text, char separator)
{
    std::vector<std::string> fields;
    for (auto at = text.find(separator); at != std::string_view::npos; at = text.find(separator)) {
        fields.emplace_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    fields.emplace_back(text);
    return fields;
}

std::string counted(std::size_t count, std::string_view noun)
{
    return std::to_string(count) + ' ' + std::string(noun) + (count == 1 ? "" : "s");
}

}  // namespace vb
