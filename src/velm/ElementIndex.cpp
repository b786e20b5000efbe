#include "velm/ElementIndex.h"

#include <algorithm>
#include <bit>

namespace velm {
namespace {

// Beyond this many elements of one name, ordering them costs more than walking the scope.
constexpr std::size_t kMostOrdered = 16;
// A document looked up no more than this often after a load is walked: building the index
// would cost more than it saves.
constexpr int kWalkedLookups = 2;
// The table is never fuller than half, so that the runs between empty slots stay short.
constexpr int kFewestSlotsShift = 32 - 5;

bool isElement(pugi::xml_node node)
{
    return node.type() == pugi::node_element;
}

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
    forgetAnswers();
    slots_.clear();
    crowded_.clear();
    count_ = 0;
    shift_ = 32;
    built_ = false;
    walkedLookups_ = 0;
}

// An answer stands while no element of its name arrives: the first in a scope changes only then.
void ElementIndex::added(pugi::xml_node top)
{
    if (!built_)
        return forgetAnswers();
    for (auto node = top; node; node = nextInSubtree(node, top)) {
        if (!isElement(node))
            continue;
        const std::string_view name = node.name();
        forgetAnswers([&](const Answer& answer) { return answer.named(name); });
        insert(hashOf(name), node.internal_object());
    }
}

// An answer stands while neither the element it found nor its scope leaves.
void ElementIndex::removing(pugi::xml_node top)
{
    if (!built_)
        return forgetAnswers();
    for (auto node = top; node; node = nextInSubtree(node, top)) {
        if (!isElement(node))
            continue;
        auto* const element = node.internal_object();
        forgetAnswers([&](const Answer& answer) { return answer.found == element || answer.scope == element; });
        erase(hashOf(node.name()), element);
    }
}

pugi::xml_node ElementIndex::first(const pugi::xml_document& document, pugi::xml_node scope, std::string_view name)
{
    auto* const scopeNode = scope.internal_object();
    for (std::size_t i = 0; i < answerCount_; ++i) {
        if (answers_[i].isFor(scopeNode, name))
            return pugi::xml_node(answers_[i].found);
    }
    const auto found = search(document, scope, name, hashOf(name));
    if (name.size() > Answer::kLongestName)
        return found;
    auto& answer = answerCount_ < kAnswers ? answers_[answerCount_++] : answers_[nextAnswer_++ % kAnswers];
    answer.scope = scopeNode;
    answer.found = found.internal_object();
    answer.length = static_cast<std::uint8_t>(name.size());
    name.copy(answer.name, name.size());
    return found;
}

void ElementIndex::forgetAnswers()
{
    answerCount_ = 0;
}

template <class Stale>
void ElementIndex::forgetAnswers(Stale&& stale)
{
    for (std::size_t i = 0; i < answerCount_;) {
        if (!stale(answers_[i])) {
            ++i;
            continue;
        }
        answers_[i] = answers_[--answerCount_];
    }
}

pugi::xml_node ElementIndex::search(const pugi::xml_document& document, pugi::xml_node scope, std::string_view name,
                                    std::uint32_t hash)
{
    if (!built_) {
        if (walkedLookups_ < kWalkedLookups) {
            ++walkedLookups_;
            return walkFor(scope, name);
        }
        build(document);
    }
    if (isCrowded(hash, name))
        return walkFor(scope, name);
    // Every element indexed lies below the document element, so a search from there checks no ancestry.
    const bool everywhere = scope == document.document_element();
    const std::size_t mask = slots_.size() - 1;
    pugi::xml_node best;
    for (auto i = home(hash); slots_[i].element; i = (i + 1) & mask) {
        if (slots_[i].hash != hash)
            continue;
        const pugi::xml_node element(slots_[i].element);
        if (name != element.name())
            continue;
        if ((everywhere || contains(scope, element)) && (!best || precedes(element, best)))
            best = element;
    }
    return best;
}

void ElementIndex::build(const pugi::xml_document& document)
{
    // Sized once for every element, so that building never grows the table.
    const auto top = document.document_element();
    std::vector<Slot> elements;
    for (auto node = top; node; node = nextInSubtree(node, top)) {
        if (isElement(node))
            elements.push_back({hashOf(node.name()), node.internal_object()});
    }
    const auto size =
        std::max<std::size_t>(std::bit_ceil(2 * elements.size() + 1), std::size_t(1) << (32 - kFewestSlotsShift));
    slots_.assign(size, Slot());
    shift_ = 32 - std::countr_zero(size);
    crowded_.clear();
    count_ = 0;
    built_ = true;
    for (const auto& element : elements)
        insert(element.hash, element.element);
}

std::size_t ElementIndex::home(std::uint32_t hash) const
{
    // Fibonacci hashing spreads the high bits of the product over the table.
    return static_cast<std::size_t>((hash * 2654435769u) >> shift_);
}

bool ElementIndex::isCrowded(std::uint32_t hash, std::string_view name) const
{
    return std::any_of(crowded_.begin(), crowded_.end(),
                       [&](const Crowded& entry) { return entry.hash == hash && entry.name == name; });
}

void ElementIndex::insert(std::uint32_t hash, pugi::xml_node_struct* element)
{
    const std::string_view name = pugi::xml_node(element).name();
    if (isCrowded(hash, name))
        return;
    const std::size_t mask = slots_.size() - 1;
    std::size_t named = 0;
    for (auto i = home(hash); slots_[i].element; i = (i + 1) & mask) {
        if (slots_[i].hash == hash && name == pugi::xml_node(slots_[i].element).name() && ++named >= kMostOrdered) {
            crowd(hash, name);
            return;
        }
    }
    if (2 * (count_ + 1) > slots_.size())
        grow();
    place(hash, element);
}

// The name's entries leave the table, so that the runs its elements made do not slow other names.
void ElementIndex::crowd(std::uint32_t hash, std::string_view name)
{
    crowded_.push_back({hash, std::string(name)});
    const std::size_t mask = slots_.size() - 1;
    for (auto i = home(hash); slots_[i].element;) {
        if (slots_[i].hash == hash && name == pugi::xml_node(slots_[i].element).name())
            erase(hash, slots_[i].element);
        else
            i = (i + 1) & mask;
    }
}

void ElementIndex::place(std::uint32_t hash, pugi::xml_node_struct* element)
{
    const std::size_t mask = slots_.size() - 1;
    auto i = home(hash);
    while (slots_[i].element)
        i = (i + 1) & mask;
    slots_[i] = {hash, element};
    ++count_;
}

void ElementIndex::erase(std::uint32_t hash, pugi::xml_node_struct* element)
{
    const std::size_t mask = slots_.size() - 1;
    auto hole = home(hash);
    for (; slots_[hole].element != element; hole = (hole + 1) & mask) {
        if (!slots_[hole].element)
            return;
    }
    // Later entries of the run move back into the hole unless that would put them before their home.
    for (auto next = (hole + 1) & mask; slots_[next].element; next = (next + 1) & mask) {
        const auto from = home(slots_[next].hash);
        if (((next - from) & mask) >= ((next - hole) & mask)) {
            slots_[hole] = slots_[next];
            hole = next;
        }
    }
    slots_[hole] = Slot();
    --count_;
}

void ElementIndex::grow()
{
    auto old = std::move(slots_);
    slots_.assign(std::max<std::size_t>(2 * old.size(), std::size_t(1) << (32 - kFewestSlotsShift)), Slot());
    shift_ = 32 - std::countr_zero(slots_.size());
    count_ = 0;
    for (const auto& slot : old) {
        if (slot.element)
            place(slot.hash, slot.element);
    }
}

}  // namespace velm
