#pragma once

#include <functional>
#include <string>

namespace quorin {

// Where the driver keeps an image the item names: a full path, or "" when it has none.
using GraphicsPathLookup = std::function<std::string(const std::string& reference)>;

// The HTML with its image references made full paths: an <img src="..."> reference (tag and
// attribute in any letter case) naming a frame bitmap ("hdt.bmp") or one the driver does not
// know gets the support folder in front, any other becomes the driver's path; references in
// "BACKGROUND-IMAGE:url(...)" and "LIST-STYLE-IMAGE:url(...)" get the support folder in front.
// Places not written in those forms (no quoted src inside the tag, no closing quote or
// parenthesis) stay as they are, and every reference is rewritten once.
std::string rewriteImagePaths(std::string html, const std::string& supportDir, const GraphicsPathLookup& graphicsPath);

}  // namespace quorin
