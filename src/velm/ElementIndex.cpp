#include "velm/ElementIndex.h"

#include <algorithm>

namespace velm {
namespace {

// Beyond this many elements of one name, ordering them costs more than walking the scope.
constexpr std::size_t kMostOrdered = 16;
// A document looked up no more than this often after a load is walked: building the index
// would cost more than it saves.
constexpr int kWalkedLookups = 2;
// Edits of up to this many elements are made entry by entry; larger ones sort and merge.
constexpr std::size_t kFewElements = 8;

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

// FNV-1a: names are short, and the index only needs them spread.
std::uint32_t hashOf(std::string_view name)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
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
    entries_.clear();
    built_ = false;
    walkedLookups_ = 0;
}

void ElementIndex::added(pugi::xml_node top)
{
    if (built_)
        addSubtree(top);
}

void ElementIndex::removing(pugi::xml_node top)
{
    if (!built_)
        return;
    std::vector<pugi::xml_node_struct*> gone;
    for (auto node = top; node; node = nextInSubtree(node, top)) {
        if (isElement(node))
            gone.push_back(node.internal_object());
    }
    if (gone.size() <= kFewElements) {
        for (auto* element : gone) {
            const auto [begin, end] = std::equal_range(entries_.begin(), entries_.end(),
                                                       Entry{hashOf(pugi::xml_node(element).name()), nullptr}, ByHash());
            const auto entry = std::find_if(begin, end, [&](const Entry& candidate) { return candidate.element == element; });
            if (entry != end)
                entries_.erase(entry);
        }
        return;
    }
    std::sort(gone.begin(), gone.end());
    std::erase_if(entries_, [&](const Entry& entry) { return std::binary_search(gone.begin(), gone.end(), entry.element); });
}

pugi::xml_node ElementIndex::first(const pugi::xml_document& document, pugi::xml_node scope, std::string_view name)
{
    if (!built_) {
        if (walkedLookups_ < kWalkedLookups) {
            ++walkedLookups_;
            return walkFor(scope, name);
        }
        build(document);
    }
    const auto hash = hashOf(name);
    const auto [begin, end] = std::equal_range(entries_.begin(), entries_.end(), Entry{hash, nullptr}, ByHash());
    pugi::xml_node best;
    std::size_t named = 0;
    for (auto entry = begin; entry != end; ++entry) {
        const pugi::xml_node element(entry->element);
        if (name != element.name())
            continue;
        if (++named > kMostOrdered)
            return walkFor(scope, name);
        if (contains(scope, element) && (!best || precedes(element, best)))
            best = element;
    }
    return best;
}

void ElementIndex::build(const pugi::xml_document& document)
{
    entries_.clear();
    built_ = true;
    addSubtree(document.document_element());
}

void ElementIndex::addSubtree(pugi::xml_node top)
{
    const auto old = static_cast<std::ptrdiff_t>(entries_.size());
    for (auto node = top; node; node = nextInSubtree(node, top)) {
        if (isElement(node))
            entries_.push_back({hashOf(node.name()), node.internal_object()});
    }
    const auto added = entries_.size() - static_cast<std::size_t>(old);
    if (added > kFewElements) {
        std::sort(entries_.begin() + old, entries_.end(), ByHash());
        std::inplace_merge(entries_.begin(), entries_.begin() + old, entries_.end(), ByHash());
        return;
    }
    // Each new entry moves down into place, as an insertion sort would.
    for (auto next = entries_.begin() + old; next != entries_.end(); ++next)
        std::rotate(std::upper_bound(entries_.begin(), next, *next, ByHash()), next, next + 1);
}

}  // namespace velm
