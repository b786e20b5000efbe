#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vb {

// Whether an item's text is HTML: the component shows it as a document only when it opens
// with "<html>", exactly so written.
bool isHtml(std::string_view text);

// Where the value of an <img src="..."> reference stands in a text, as [start, end).
struct ImageSource {
    std::size_t start = 0;
    std::size_t end = 0;
};

// The src="..." values of the text's <img tags (tag and attribute in any letter case), in
// order. A tag without a quoted src before its '>', or whose value has no closing quote, names
// none; the search goes on after each value, so no value is read as a tag of its own.
std::vector<ImageSource> imageSources(std::string_view html);

}  // namespace vb
