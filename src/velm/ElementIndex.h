#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string>
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
    // A lookup answered before, kept while no edit could change it: callers ask for the same few
    // elements again and again.
    struct Answer {
        static constexpr std::size_t kLongestName = 30;

        bool isFor(pugi::xml_node_struct* where, std::string_view what) const { return scope == where && named(what); }
        bool named(std::string_view what) const
        {
            return what.size() == length && std::char_traits<char>::compare(name, what.data(), length) == 0;
        }

        pugi::xml_node_struct* scope = nullptr;
        pugi::xml_node_struct* found = nullptr;
        std::uint8_t length = 0;
        char name[kLongestName + 1] = {};
    };

    // One element and the hash of its name; an empty slot has no element.
    struct Slot {
        std::uint32_t hash = 0;
        pugi::xml_node_struct* element = nullptr;
    };

    // A name borne by more elements than are worth ordering; its lookups walk the scope.
    struct Crowded {
        std::uint32_t hash;
        std::string name;
    };

    pugi::xml_node search(const pugi::xml_document& document, pugi::xml_node scope, std::string_view name,
                          std::uint32_t hash);
    void forgetAnswers();
    // Forgets the answers an edit may have made wrong.
    template <class Stale>
    void forgetAnswers(Stale&& stale);
    void build(const pugi::xml_document& document);
    bool isCrowded(std::uint32_t hash, std::string_view name) const;
    void insert(std::uint32_t hash, pugi::xml_node_struct* element);
    void place(std::uint32_t hash, pugi::xml_node_struct* element);
    void crowd(std::uint32_t hash, std::string_view name);
    void erase(std::uint32_t hash, pugi::xml_node_struct* element);
    // Doubles the table, placing every element again.
    void grow();
    std::size_t home(std::uint32_t hash) const;

    // Open addressing with linear probing: the elements of one name lie together between the
    // home slot of its hash and the next empty slot, and edits cost a few slots each. A crowded
    // name keeps no entries, so no run grows long.
    std::vector<Slot> slots_;
    std::vector<Crowded> crowded_;
    static constexpr std::size_t kAnswers = 8;
    Answer answers_[kAnswers];
    std::size_t answerCount_ = 0;
    std::size_t nextAnswer_ = 0;
    std::size_t count_ = 0;
    int shift_ = 32;
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
