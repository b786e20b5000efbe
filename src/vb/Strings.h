#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vb {

// The text without leading and trailing characters from set.
std::string_view trimView(std::string_view text, std::string_view set);

// The runtime's Trim: leading and trailing spaces removed (blanks only, not tabs or NULs).
std::string trim(std::string_view text);

// ASCII letters upper- or lower-cased; every other byte unchanged.
std::string upperAscii(std::string_view text);
std::string lowerAscii(std::string_view text);

// Equality without regard to ASCII letter case.
bool equalsIgnoreCase(std::string_view a, std::string_view b);
bool equalsIgnoreCase(char a, char b);
// Where needle first stands in text at or after from, ASCII letters matching in either case;
// npos when nowhere. The same as searching both texts upper-cased, without copying them.
std::size_t findIgnoringCase(std::string_view text, std::string_view needle, std::size_t from = 0);

// The first count code points of UTF-8 text, never splitting a sequence.
std::string_view leftCodePoints(std::string_view text, std::size_t count);

// The text with every occurrence of from replaced by to.
std::string replaceAll(std::string text, std::string_view from, std::string_view to);

// The fields between the separators, empty ones kept: one field for a text without any.
std::vector<std::string> split(std::string_view text, char separator);

// A count with its noun agreeing, for summaries that read as sentences: "1 item", "2 items", "0 items".
std::string counted(std::size_t count, std::string_view noun);

}  // namespace vb
