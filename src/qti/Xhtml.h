#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace quorin::qti {

// Our item texts (HTML that need not be well formed) as the XHTML content QTI item bodies hold.
class Xhtml {
public:
    // Parses Html as a browser would and appends the content of its body under Parent, keeping
    // the elements and attributes QTI content allows, unwrapping other elements and dropping
    // scripts, styles and form controls; the elements take Parent's namespace.
    static void appendBody(std::string_view html, pugi::xml_node parent);

    // The body content of Html as XHTML markup, for callers that want text.
    static std::string bodyOf(std::string_view html);

    // The text Html shows, without its markup (for places that hold plain text, as a title does).
    static std::string textOf(std::string_view html);

    // Whether Name is an XHTML element QTI content holds (and so no element of QTI itself).
    static bool isElement(std::string_view name);

    // The src of every img under Node, in document order, repeats left out.
    static std::vector<std::string> imagesUnder(pugi::xml_node node);
};

}  // namespace quorin::qti
