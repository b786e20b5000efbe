#pragma once

#include <pugixml.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorin::qti {

// The versions of the open item standard this library reads, told apart by namespace.
enum class QtiVersion { V2p0, V2p1, V2p2, V3p0 };

// The version a namespace URI names; nothing for any other URI.
std::optional<QtiVersion> versionOfNamespace(std::string_view uri);

// The namespace URI of a version.
const char* namespaceOf(QtiVersion version);

// A version as people write it: "2.1", "3.0".
const char* versionName(QtiVersion version);

// A standard item document in one spelling: every element of the standard and its attributes
// named as 2.x names them (camel case, no "qti-" prefix), namespace prefixes and declarations
// dropped, so readers handle every version alike.
class QtiDocument {
public:
    // Parses and normalises text; nothing, with the reason in error, when it is not well formed,
    // has no namespace of the standard or its document element is no assessment item.
    static std::unique_ptr<QtiDocument> load(std::string_view text, std::string& error);

    QtiVersion version() const { return version_; }
    // The document element, "assessmentItem".
    pugi::xml_node item() const { return document_.document_element(); }

private:
    QtiDocument() = default;

    pugi::xml_document document_;
    QtiVersion version_ = QtiVersion::V2p1;
};

// Calls visit for every element below root (root excluded) in document order, without recursion:
// an item may nest elements without end. Visit may change the element but not remove it.
void forEachElement(pugi::xml_node root, const std::function<void(pugi::xml_node)>& visit);

// Whether text looks like a standard assessment item (its first element is one, in any
// version or none), even when it is not well formed, so the caller can send it to the importer.
bool isQtiItem(std::string_view text);

}  // namespace quorin::qti
