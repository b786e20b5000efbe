#include "qti/Xhtml.h"

#include "vb/Strings.h"

#include <gumbo.h>

#include <algorithm>
#include <array>
#include <memory>
#include <sstream>
#include <utility>

namespace quorin::qti {
namespace {

// The XHTML elements a QTI item body may hold.
constexpr std::array kKeptElements{
    "a",     "abbr",  "acronym",  "address", "b",    "big",   "blockquote", "br",     "caption", "cite",
    "code",  "col",   "colgroup", "dd",      "dfn",  "div",   "dl",         "dt",     "em",      "h1",
    "h2",    "h3",    "h4",       "h5",      "h6",   "hr",    "i",          "img",    "kbd",     "li",
    "ol",    "p",     "pre",      "q",       "samp", "small", "span",       "strong", "sub",     "sup",
    "table", "tbody", "td",       "tfoot",   "th",   "thead", "tr",         "tt",     "ul",      "var"};

// Elements whose content is no content a candidate reads.
constexpr std::array kDroppedElements{GUMBO_TAG_SCRIPT,   GUMBO_TAG_STYLE,  GUMBO_TAG_HEAD,   GUMBO_TAG_TEMPLATE,
                                      GUMBO_TAG_NOSCRIPT, GUMBO_TAG_IFRAME, GUMBO_TAG_OBJECT, GUMBO_TAG_EMBED,
                                      GUMBO_TAG_FORM,     GUMBO_TAG_INPUT,  GUMBO_TAG_BUTTON, GUMBO_TAG_SELECT,
                                      GUMBO_TAG_TEXTAREA, GUMBO_TAG_SVG,    GUMBO_TAG_MATH};

struct KeptAttribute {
    std::string_view element;  // empty: on every element
    std::string_view name;
};

constexpr std::array kKeptAttributes{
    KeptAttribute{"", "class"},         KeptAttribute{"img", "src"},       KeptAttribute{"img", "alt"},
    KeptAttribute{"img", "width"},      KeptAttribute{"img", "height"},    KeptAttribute{"a", "href"},
    KeptAttribute{"table", "summary"},  KeptAttribute{"td", "colspan"},    KeptAttribute{"td", "rowspan"},
    KeptAttribute{"th", "colspan"},     KeptAttribute{"th", "rowspan"},    KeptAttribute{"th", "scope"},
    KeptAttribute{"col", "span"},       KeptAttribute{"colgroup", "span"}, KeptAttribute{"q", "cite"},
    KeptAttribute{"blockquote", "cite"}};

bool isKeptElement(std::string_view name)
{
    return std::find(kKeptElements.begin(), kKeptElements.end(), name) != kKeptElements.end();
}

bool isDroppedElement(GumboTag tag)
{
    return std::find(kDroppedElements.begin(), kDroppedElements.end(), tag) != kDroppedElements.end();
}

bool isKeptAttribute(std::string_view element, std::string_view name)
{
    return std::any_of(kKeptAttributes.begin(), kKeptAttributes.end(), [&](const KeptAttribute& kept) {
        return kept.name == name && (kept.element.empty() || kept.element == element);
    });
}

// XML 1.0 forbids most control characters, even escaped; HTML text may carry them.
std::string xmlText(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\r')
            kept.push_back(c);
    }
    return kept;
}

// Read as a browser reads an address: leading controls and spaces skipped, tabs and line breaks
// dropped anywhere, so "java\tscript:" is a script address too.
bool isScriptAddress(std::string_view value)
{
    std::string scheme;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\t' || byte == '\n' || byte == '\r' || (scheme.empty() && byte <= 0x20))
            continue;
        scheme.push_back(c);
        if (scheme.size() == std::string_view("javascript:").size())
            break;
    }
    return vb::equalsIgnoreCase(scheme, "javascript:");
}

void copyAttributes(const GumboElement& element, std::string_view name, pugi::xml_node target)
{
    for (unsigned i = 0; i < element.attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
        if (!isKeptAttribute(name, attribute->name) || target.attribute(attribute->name))
            continue;
        if (std::string_view(attribute->name) == "href" && isScriptAddress(attribute->value))
            continue;
        target.append_attribute(attribute->name) = xmlText(attribute->value).c_str();
    }
    if (name == "img" && !target.attribute("alt"))
        target.append_attribute("alt") = "";
}

const GumboNode* bodyElementOf(const GumboNode* root)
{
    if (root->type != GUMBO_NODE_ELEMENT)
        return nullptr;
    const auto& children = root->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_BODY)
            return child;
    }
    return nullptr;
}

// Parse errors are not kept: recording them costs memory in proportion to the depth of every
// unclosed element, quadratic on deep unclosed markup.
GumboOptions parserOptions()
{
    auto options = kGumboDefaultOptions;
    options.max_errors = 0;
    return options;
}

struct GumboDeleter {
    void operator()(GumboOutput* output) const
    {
        const auto options = parserOptions();
        gumbo_destroy_output(&options, output);
    }
};

}  // namespace

void Xhtml::appendBody(std::string_view html, pugi::xml_node parent)
{
    const std::string text(html);
    const auto options = parserOptions();
    const std::unique_ptr<GumboOutput, GumboDeleter> output(
        gumbo_parse_with_options(&options, text.c_str(), text.size()));
    const auto* body = bodyElementOf(output->root);
    if (!body)
        return;
    // Walked with a stack of its own, so that deeply nested markup cannot exhaust the call stack.
    std::vector<std::pair<const GumboNode*, pugi::xml_node>> pending;
    const auto pushChildren = [&](const GumboNode* node, pugi::xml_node target) {
        const auto& children = node->v.element.children;
        for (unsigned i = children.length; i-- > 0;)
            pending.emplace_back(static_cast<const GumboNode*>(children.data[i]), target);
    };
    pushChildren(body, parent);
    while (!pending.empty()) {
        auto [node, target] = pending.back();
        pending.pop_back();
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE || node->type == GUMBO_NODE_CDATA) {
            target.append_child(pugi::node_pcdata).set_value(xmlText(node->v.text.text).c_str());
            continue;
        }
        if (node->type != GUMBO_NODE_ELEMENT || isDroppedElement(node->v.element.tag))
            continue;
        const std::string_view name = gumbo_normalized_tagname(node->v.element.tag);
        if (node->v.element.tag_namespace != GUMBO_NAMESPACE_HTML || !isKeptElement(name)) {
            pushChildren(node, target);
            continue;
        }
        if (name == "img" && !gumbo_get_attribute(&node->v.element.attributes, "src"))
            continue;
        auto element = target.append_child(std::string(name).c_str());
        copyAttributes(node->v.element, name, element);
        pushChildren(node, element);
    }
}

std::string Xhtml::bodyOf(std::string_view html)
{
    pugi::xml_document document;
    auto body = document.append_child("body");
    appendBody(html, body);
    std::ostringstream markup;
    for (const auto child : body.children())
        child.print(markup, "", pugi::format_raw);
    return markup.str();
}

std::string Xhtml::textOf(std::string_view html)
{
    pugi::xml_document document;
    auto body = document.append_child("body");
    appendBody(html, body);
    struct TextCollector : pugi::xml_tree_walker {
        std::string text;
        bool for_each(pugi::xml_node& node) override
        {
            if (node.type() == pugi::node_pcdata)
                text += node.value();
            return true;
        }
    } collector;
    body.traverse(collector);
    return collector.text;
}

bool Xhtml::isElement(std::string_view name)
{
    return isKeptElement(name);
}

std::vector<std::string> Xhtml::imagesUnder(pugi::xml_node node)
{
    std::vector<std::string> sources;
    for (const auto& found : node.select_nodes(".//*[local-name()='img' or local-name()='qti-img']/@src")) {
        const std::string source = found.attribute().value();
        if (std::find(sources.begin(), sources.end(), source) == sources.end())
            sources.push_back(source);
    }
    return sources;
}

}  // namespace quorin::qti
