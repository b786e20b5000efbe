#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string_view>
#include <vector>

namespace velm {

// The elements of one document by name, so that a lookup by name visits only the elements that
// bear it. The first lookups after a load walk the document; then the index is built from it,
// and its owner reports every element added or removed.
class ElementIndex {
public:
    // Forgets everything; the next lookup reads the document again.
    void reset();

    // The elements of top's subtree, top included, have just been added to the document.
    void added(pugi::xml_node top);
    // The elements of top's subtree, top included, are about to leave the document.
    void removing(pugi::xml_node top);

    // The first element of that name in document order within scope's subtree, scope included.
    pugi::xml_node first(const pugi::xml_document& document, pugi::xml_node scope, std::string_view name);

private:
    // One element and the hash of its name; the entries are kept in order of hash.
    struct Entry {
        std::uint32_t hash;
        pugi::xml_node_struct* element;
    };

    // A function object, not a function, so that the searches and sorts inline it.
    struct ByHash {
        bool operator()(const Entry& a, const Entry& b) const { return a.hash < b.hash; }
    };

    void build(const pugi::xml_document& document);
    // Adds the elements of top's subtree, keeping the entries in order.
    void addSubtree(pugi::xml_node top);

    std::vector<Entry> entries_;
    bool built_ = false;
    int walkedLookups_ = 0;
};

// Whether a comes before b in document order; an ancestor comes before its descendants.
bool precedes(pugi::xml_node a, pugi::xml_node b);

// The node after node in document order without leaving root's subtree.
pugi::xml_node nextInSubtree(pugi::xml_node node, pugi::xml_node root);

// Whether node is ancestor or inside its subtree.
bool contains(pugi::xml_node ancestor, pugi::xml_node node);

}  // namespace velm
