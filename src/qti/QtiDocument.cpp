#include "qti/QtiDocument.h"

#include <cstring>
#include <vector>

namespace quorin::qti {
namespace {

struct KnownVersion {
    QtiVersion version;
    const char* uri;
    const char* name;
};

constexpr KnownVersion kVersions[] = {
    {QtiVersion::V2p0, "http://www.imsglobal.org/xsd/imsqti_v2p0", "2.0"},
    {QtiVersion::V2p1, "http://www.imsglobal.org/xsd/imsqti_v2p1", "2.1"},
    {QtiVersion::V2p2, "http://www.imsglobal.org/xsd/imsqti_v2p2", "2.2"},
    {QtiVersion::V3p0, "http://www.imsglobal.org/xsd/imsqtiasi_v3p0", "3.0"},
};

constexpr std::string_view kKebabPrefix = "qti-";

std::string_view localName(std::string_view name)
{
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// "max-choices" → "maxChoices".
std::string camelCase(std::string_view kebab)
{
    std::string camel;
    bool upper = false;
    for (const char c : kebab) {
        if (c == '-') {
            upper = true;
            continue;
        }
        camel += upper && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        upper = false;
    }
    return camel;
}

bool isNamespaceDeclaration(std::string_view name)
{
    return name == "xmlns" || name.starts_with("xmlns:");
}

void normaliseElement(pugi::xml_node element, bool kebab)
{
    const std::string_view local = localName(element.name());
    const bool standard = kebab && local.starts_with(kKebabPrefix);
    element.set_name(standard ? camelCase(local.substr(kKebabPrefix.size())).c_str() : std::string(local).c_str());
    std::vector<pugi::xml_attribute> declarations;
    for (auto attribute : element.attributes()) {
        const std::string_view name = attribute.name();
        if (isNamespaceDeclaration(name) || name.starts_with("xsi:"))
            declarations.push_back(attribute);
        else if (standard && name.find('-') != std::string_view::npos && !name.starts_with("data-"))
            attribute.set_name(camelCase(name).c_str());
    }
    for (const auto attribute : declarations)
        element.remove_attribute(attribute);
}

std::string namespaceOfRoot(pugi::xml_node root)
{
    const std::string_view name = root.name();
    const auto colon = name.find(':');
    const std::string declaration =
        colon == std::string_view::npos ? "xmlns" : "xmlns:" + std::string(name.substr(0, colon));
    return root.attribute(declaration.c_str()).as_string();
}

// The name of the first element of text, found without parsing the rest.
std::string_view firstElementName(std::string_view text)
{
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (at + 1 >= text.size() || text[at + 1] == '?' || text[at + 1] == '!')
            continue;
        const auto end = text.find_first_of(" \t\r\n/>", at + 1);
        return text.substr(at + 1, (end == std::string_view::npos ? text.size() : end) - at - 1);
    }
    return {};
}

}  // namespace

std::optional<QtiVersion> versionOfNamespace(std::string_view uri)
{
    for (const auto& known : kVersions) {
        if (uri == known.uri)
            return known.version;
    }
    return std::nullopt;
}

const char* namespaceOf(QtiVersion version)
{
    for (const auto& known : kVersions) {
        if (known.version == version)
            return known.uri;
    }
    return "";
}

const char* versionName(QtiVersion version)
{
    for (const auto& known : kVersions) {
        if (known.version == version)
            return known.name;
    }
    return "";
}

std::unique_ptr<QtiDocument> QtiDocument::load(std::string_view text, std::string& error)
{
    std::unique_ptr<QtiDocument> document(new QtiDocument);
    const auto parsed =
        document->document_.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata);
    if (!parsed) {
        error = std::string("malformed XML: ") + parsed.description() + " at byte " + std::to_string(parsed.offset);
        return nullptr;
    }
    const auto root = document->document_.document_element();
    const std::string uri = namespaceOfRoot(root);
    const auto version = versionOfNamespace(uri);
    if (!version) {
        error = uri.empty() ? "no namespace of the QTI standard" : "unknown namespace " + uri;
        return nullptr;
    }
    const bool kebab = *version == QtiVersion::V3p0;
    const std::string_view local = localName(root.name());
    if (local != (kebab ? "qti-assessment-item" : "assessmentItem")) {
        error = "the document element " + std::string(local) + " is no assessment item of QTI " + versionName(*version);
        return nullptr;
    }
    document->version_ = *version;
    normaliseElement(root, kebab);
    forEachElement(root, [kebab](pugi::xml_node element) { normaliseElement(element, kebab); });
    return document;
}

void forEachElement(pugi::xml_node root, const std::function<void(pugi::xml_node)>& visit)
{
    for (pugi::xml_node node = root.first_child(); node;) {
        if (node.type() == pugi::node_element)
            visit(node);
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling())
            node = node.parent();
        if (node == root)
            break;
        node = node.next_sibling();
    }
}

bool isQtiItem(std::string_view text)
{
    const std::string_view name = localName(firstElementName(text));
    return name == "assessmentItem" || name == "qti-assessment-item";
}

}  // namespace quorin::qti
