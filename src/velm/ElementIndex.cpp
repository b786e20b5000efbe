#include "velm/ElementIndex.h"

#include <algorithm>

namespace velm {
namespace {

// Beyond this many elements of one name, ordering them costs more than walking the scope.
constexpr std::size_t kMostOrdered = 16;

bool isElement(pugi::xml_node node) { return node.type() == pugi::node_element; }

std::size_t depthOf(pugi::xml_node node)
{
    std::size_t depth = 0;
    for (; node; node = node.parent())
        ++depth;
    return depth;
}

// Which of two siblings comes first, stepping from both at once so that the cost is their distance.
bool siblingPrecedes(pugi::xml_node a, pugi::xml_node b)
{
    for (auto fromA = a, fromB = b;;) {
        fromA = fromA.next_sibling();
        if (fromA == b || !fromB)
            return true;
        fromB = fromB.next_sibling();
        if (fromB == a || !fromA)
            return false;
    }
}

pugi::xml_node walkFor(pugi::xml_node scope, std::string_view name)
{
    for (auto node = scope; node; node = nextInSubtree(node, scope)) {
        if (isElement(node) && name == node.name())
            return node;
    }
    return {};
}

}  // namespace

bool precedes(pugi::xml_node a, pugi::xml_node b)
{
    auto depthA = depthOf(a);
    auto depthB = depthOf(b);
    auto x = a;
    auto y = b;
    for (; depthA > depthB; --depthA)
        x = x.parent();
    for (; depthB > depthA; --depthB)
        y = y.parent();
    if (x == y)
        return x == a && a != b;
    while (x.parent() != y.parent()) {
        x = x.parent();
        y = y.parent();
    }
    return siblingPrecedes(x, y);
}

pugi::xml_node nextInSubtree(pugi::xml_node node, pugi::xml_node root)
{
    if (const auto child = node.first_child())
        return child;
    for (; node && node != root; node = node.parent()) {
        if (const auto next = node.next_sibling())
            return next;
    }
    return {};
}

bool contains(pugi::xml_node ancestor, pugi::xml_node node)
{
    for (; node; node = node.parent()) {
        if (node == ancestor)
            return true;
    }
    return false;
}

void ElementIndex::reset()
{
    byName_.clear();
    built_ = false;
}

void ElementIndex::added(pugi::xml_node top)
{
    if (!built_)
        return;
    for (auto node = top; node; node = nextInSubtree(node, top)) {
        if (isElement(node))
            add(node);
    }
}

void ElementIndex::removing(pugi::xml_node top)
{
    if (!built_)
        return;
    // Each name found below top is swept once, however many of its elements go.
    std::vector<pugi::xml_node_struct*> gone;
    std::vector<Elements*> swept;
    for (auto node = top; node; node = nextInSubtree(node, top)) {
        if (!isElement(node))
            continue;
        gone.push_back(node.internal_object());
        if (const auto elements = byName_.find(std::string_view(node.name())); elements != byName_.end())
            swept.push_back(&elements->second);
    }
    std::sort(gone.begin(), gone.end());
    std::sort(swept.begin(), swept.end());
    swept.erase(std::unique(swept.begin(), swept.end()), swept.end());
    for (auto* elements : swept) {
        std::erase_if(*elements, [&](pugi::xml_node element) {
            return std::binary_search(gone.begin(), gone.end(), element.internal_object());
        });
    }
}

pugi::xml_node ElementIndex::first(const pugi::xml_document& document, pugi::xml_node scope, std::string_view name)
{
    if (!built_)
        build(document);
    const auto found = byName_.find(name);
    if (found == byName_.end() || found->second.empty())
        return {};
    if (found->second.size() > kMostOrdered)
        return walkFor(scope, name);
    pugi::xml_node best;
    for (const auto element : found->second) {
        if (contains(scope, element) && (!best || precedes(element, best)))
            best = element;
    }
    return best;
}

void ElementIndex::build(const pugi::xml_document& document)
{
    byName_.clear();
    built_ = true;
    const auto top = document.document_element();
    for (auto node = top; node; node = nextInSubtree(node, top)) {
        if (isElement(node))
            add(node);
    }
}

void ElementIndex::add(pugi::xml_node element)
{
    const std::string_view name = element.name();
    auto elements = byName_.find(name);
    if (elements == byName_.end())
        elements = byName_.emplace(std::string(name), Elements()).first;
    elements->second.push_back(element);
}

}  // namespace velm
