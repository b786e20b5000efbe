#include "velm/DataIO.h"

#include "velm/ElementIndex.h"

#include <pugixml.hpp>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

namespace velm {
namespace {

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_fragment;
constexpr unsigned kFormat = pugi::format_raw | pugi::format_no_declaration;

// What may follow the last element: a state buffer's unwritten tail comes back as NULs.
constexpr std::string_view kIgnoredTail("\0 \t\r\n", 5);

// Serials are unique in the process, so a position from another DataIO never matches here.
std::uint64_t nextSerial()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

struct StringWriter : pugi::xml_writer {
    void write(const void* data, std::size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

bool isElement(pugi::xml_node node)
{
    return node.type() == pugi::node_element;
}

// Names are checked so that the document always serialises to XML that loads again.
bool isNameByte(unsigned char c, bool first)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80)
        return true;
    return !first && ((c >= '0' && c <= '9') || c == '-' || c == '.');
}

bool isName(std::string_view name)
{
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (!isNameByte(static_cast<unsigned char>(name[i]), i == 0))
            return false;
    }
    return !name.empty();
}

std::string textBelow(pugi::xml_node element)
{
    std::string text;
    for (auto node = element; node; node = nextInSubtree(node, element)) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            text += node.value();
    }
    return text;
}

// The first element at node or after it among its siblings.
pugi::xml_node elementFrom(pugi::xml_node node)
{
    while (node && !isElement(node))
        node = node.next_sibling();
    return node;
}

pugi::xml_attribute findAttribute(pugi::xml_node element, std::string_view name)
{
    for (auto attribute = element.first_attribute(); attribute; attribute = attribute.next_attribute()) {
        if (std::string_view(attribute.name()) == name)
            return attribute;
    }
    return {};
}

vb::Variant attributeValue(pugi::xml_node element, std::string_view name)
{
    const auto attribute = findAttribute(element, name);
    return attribute ? vb::Variant(attribute.value()) : vb::Variant();
}

// Whether node can be edited into model in place: text, CDATA and comments of either content, or
// elements of the same name with the same attributes in the same order.
bool sameShell(pugi::xml_node node, pugi::xml_node model)
{
    const auto type = node.type();
    if (type != model.type())
        return false;
    if (type != pugi::node_element)
        return type == pugi::node_pcdata || type == pugi::node_cdata || type == pugi::node_comment;
    if (std::strcmp(node.name(), model.name()) != 0)
        return false;
    auto attribute = node.first_attribute();
    auto wanted = model.first_attribute();
    for (; attribute && wanted; attribute = attribute.next_attribute(), wanted = wanted.next_attribute()) {
        if (std::strcmp(attribute.name(), wanted.name()) != 0 || std::strcmp(attribute.value(), wanted.value()) != 0)
            return false;
    }
    return !attribute && !wanted;
}

// Whether element holds nothing but text, which SetText can then change in place.
bool holdsOnlyText(pugi::xml_node element)
{
    const auto only = element.first_child();
    return !only || (only.type() == pugi::node_pcdata && !only.next_sibling());
}

// pugixml frees a subtree recursively, so a deeply nested one is taken apart leaf by leaf.
void removeSubtree(pugi::xml_node top)
{
    auto node = top;
    while (true) {
        while (node.first_child())
            node = node.first_child();
        if (node == top)
            break;
        auto parent = node.parent();
        parent.remove_child(node);
        node = parent;
    }
    top.parent().remove_child(top);
}

std::string print(pugi::xml_node node)
{
    StringWriter writer;
    node.print(writer, "", kFormat, pugi::encoding_utf8);
    return std::move(writer.text);
}

[[noreturn]] void raiseMalformed(std::string_view message, std::ptrdiff_t offset)
{
    throw vb::ComError(DataIO::kMalformedXml,
                       "Malformed XML: " + std::string(message) + " at offset " + std::to_string(offset), "DataIO");
}

std::string_view withoutIgnoredTail(std::string_view xml)
{
    const auto last = xml.find_last_not_of(kIgnoredTail);
    return last == std::string_view::npos ? std::string_view() : xml.substr(0, last + 1);
}

// Parses top-level elements (text between them is an error); raises for malformed XML.
void parseElements(pugi::xml_document& document, std::string_view xml)
{
    const auto text = withoutIgnoredTail(xml);
    if (const auto nul = text.find('\0'); nul != std::string_view::npos)
        raiseMalformed("NUL character", static_cast<std::ptrdiff_t>(nul));
    const auto result = document.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
    if (result.status == pugi::status_out_of_memory)
        vb::raise(vb::err::kOutOfMemory);
    if (!result)
        raiseMalformed(result.description(), result.offset);
    for (const auto node : document.children()) {
        if (!isElement(node))
            raiseMalformed("Text outside an element", node.offset_debug());
    }
}

// What DataIOs loaded from one another share until one of them edits it.
struct Snapshot {
    pugi::xml_document document;
    ElementIndex index;
    // The document element, kept since every lookup starts from it; only loading, copying and
    // removing it change it.
    pugi::xml_node root;
};

// The one empty document every new or cleared DataIO shares: nothing edits an empty document
// (every edit needs an element found in it), so it is never written.
std::shared_ptr<Snapshot> emptySnapshot()
{
    static const auto* const empty = new std::shared_ptr<Snapshot>(std::make_shared<Snapshot>());
    return *empty;
}

// The path from the document to node as sibling counts, so that the same node is found in a copy.
std::vector<std::size_t> pathTo(pugi::xml_node node)
{
    std::vector<std::size_t> path;
    for (; node.parent(); node = node.parent()) {
        std::size_t before = 0;
        for (auto sibling = node.previous_sibling(); sibling; sibling = sibling.previous_sibling())
            ++before;
        path.push_back(before);
    }
    return path;
}

pugi::xml_node follow(const pugi::xml_document& document, const std::vector<std::size_t>& path)
{
    pugi::xml_node node = document;
    for (auto step = path.rbegin(); step != path.rend(); ++step) {
        node = node.first_child();
        for (std::size_t i = 0; i < *step; ++i)
            node = node.next_sibling();
    }
    return node;
}

}  // namespace

struct DataIO::Impl {
    struct Saved {
        std::uint64_t serial;
        pugi::xml_node element;
    };

    pugi::xml_node root() const { return snapshot->root; }

    // The scope of a by-name lookup: the whole document, or the current element's subtree.
    pugi::xml_node lookup(std::string_view name) const
    {
        const auto scope = fromRoot ? root() : current;
        return scope ? snapshot->index.first(snapshot->document, scope, name) : pugi::xml_node();
    }

    // Makes the snapshot this DataIO's alone before an edit, copying it when another DataIO
    // shares it; returns node's counterpart in it.
    pugi::xml_node own(pugi::xml_node node = {})
    {
        revision = nextSerial();
        if (snapshot.use_count() == 1)
            return node;
        auto copy = std::make_shared<Snapshot>();
        copy->document.reset(snapshot->document);
        copy->root = copy->document.document_element();
        const auto counterpart = [&](pugi::xml_node original) {
            return original ? follow(copy->document, pathTo(original)) : pugi::xml_node();
        };
        current = counterpart(current);
        for (auto& saved : positions)
            saved.element = counterpart(saved.element);
        node = counterpart(node);
        cursor = {};
        snapshot = std::move(copy);
        return node;
    }

    // Drops the saved positions inside top, whose nodes are about to be freed.
    void forgetPositionsIn(pugi::xml_node top)
    {
        std::erase_if(positions, [&](const Saved& saved) { return contains(top, saved.element); });
    }

    // The serial of a saved element, registering it on first use.
    std::uint64_t serialOf(pugi::xml_node element)
    {
        const auto saved = std::find_if(positions.begin(), positions.end(),
                                        [&](const Saved& entry) { return entry.element == element; });
        if (saved != positions.end())
            return saved->serial;
        positions.push_back({nextSerial(), element});
        return positions.back().serial;
    }

    pugi::xml_node elementOf(std::uint64_t serial) const
    {
        const auto saved = std::find_if(positions.begin(), positions.end(),
                                        [&](const Saved& entry) { return entry.serial == serial; });
        return saved != positions.end() ? saved->element : pugi::xml_node();
    }

    // The child element at index of the current element. A walk over the children in order goes
    // on from the child found last instead of starting again at the first, so it costs one step each.
    pugi::xml_node childAt(std::int32_t index) const
    {
        if (index < 0)
            return {};
        const bool goesOn = cursor.parent == current && cursor.index >= 0 && cursor.index <= index;
        auto child = goesOn ? cursor.child : elementFrom(current.first_child());
        for (auto at = goesOn ? cursor.index : 0; child && at < index; ++at)
            child = elementFrom(child.next_sibling());
        if (child)
            cursor = {current, index, child};
        return child;
    }

    // Appends a copy of node under parent, an element of this DataIO's own snapshot.
    void append(pugi::xml_node parent, pugi::xml_node node) { snapshot->index.added(parent.append_copy(node)); }

    // Removes top, in this DataIO's own snapshot, with its subtree, dropping what refers to its
    // nodes first; forgotten: no position or cursor can refer to them any more.
    void remove(pugi::xml_node top, bool forgotten = false)
    {
        if (!forgotten) {
            forgetPositionsIn(top);
            cursor = {};
        }
        snapshot->index.removing(top);
        if (top == snapshot->root)
            snapshot->root = {};
        removeSubtree(top);
    }

    // Edits target, an element of this DataIO's own snapshot of the same shell as model, into a
    // copy of model: nodes that agree in kind keep their place and take model's text, the rest are
    // replaced. It walks both trees side by side without recursing, however deep they are.
    void editInto(pugi::xml_node target, pugi::xml_node model)
    {
        auto parent = target;
        auto from = model;
        auto node = target.first_child();
        auto wanted = model.first_child();
        while (true) {
            if (!wanted) {
                removeFrom(node, true);
                if (parent == target)
                    return;
                node = parent.next_sibling();
                wanted = from.next_sibling();
                parent = parent.parent();
                from = from.parent();
            } else if (node && sameShell(node, wanted) && isElement(node)) {
                parent = node;
                from = wanted;
                node = node.first_child();
                wanted = wanted.first_child();
            } else if (node && sameShell(node, wanted)) {
                if (std::strcmp(node.value(), wanted.value()) != 0)
                    node.set_value(wanted.value());
                node = node.next_sibling();
                wanted = wanted.next_sibling();
            } else {
                snapshot->index.added(node ? parent.insert_copy_before(wanted, node) : parent.append_copy(wanted));
                node = removeOne(node, true);
                wanted = wanted.next_sibling();
            }
        }
    }

    // Makes element, of this DataIO's own snapshot, hold text as SetText leaves it.
    void setText(pugi::xml_node element, std::string_view text)
    {
        // A NUL ends the text as the document stores it, and an empty text leaves no node at all, so
        // the element writes as <Name/> and reloads the same.
        text = text.substr(0, text.find('\0'));
        auto only = element.first_child();
        if (only && holdsOnlyText(element) && !text.empty()) {
            if (std::string_view(only.value()) != text)
                only.set_value(text.data(), text.size());
            return;
        }
        removeFrom(only);
        if (!text.empty())
            element.append_child(pugi::node_pcdata).set_value(text.data(), text.size());
    }

    // Removes node and every sibling after it.
    void removeFrom(pugi::xml_node node, bool forgotten = false)
    {
        while (node)
            node = removeOne(node, forgotten);
    }

    // Removes node, when there is one; its next sibling.
    pugi::xml_node removeOne(pugi::xml_node node, bool forgotten = false)
    {
        if (!node)
            return {};
        const auto next = node.next_sibling();
        remove(node, forgotten);
        return next;
    }

    void replaceSnapshot(std::shared_ptr<Snapshot> replacement)
    {
        revision = nextSerial();
        positions.clear();
        cursor = {};
        snapshot = std::move(replacement);
        current = root();
    }

    std::shared_ptr<Snapshot> snapshot = emptySnapshot();
    pugi::xml_node current;
    bool fromRoot = true;
    std::weak_ptr<void> owner;
    std::vector<Saved> positions;
    std::uint64_t revision = nextSerial();
    struct ChildCursor {
        pugi::xml_node parent;
        std::int32_t index = -1;
        pugi::xml_node child;
    };
    mutable ChildCursor cursor;
    mutable std::string scratch;
};

DataIO::DataIO() : impl_(std::make_unique<Impl>()) {}

DataIO::~DataIO() = default;

void DataIO::setOwner(std::weak_ptr<void> owner)
{
    impl_->owner = std::move(owner);
}

std::shared_ptr<void> DataIO::Owner() const
{
    return impl_->owner.lock();
}

std::uint64_t DataIO::Revision() const
{
    return impl_->revision;
}

bool DataIO::FromRoot() const
{
    return impl_->fromRoot;
}

void DataIO::setFromRoot(bool fromRoot)
{
    impl_->fromRoot = fromRoot;
}

void DataIO::LoadXml(std::string_view xml)
{
    auto snapshot = std::make_shared<Snapshot>();
    parseElements(snapshot->document, xml);
    const auto first = snapshot->document.document_element();
    if (!first)
        raiseMalformed("No document element found", 0);
    if (const auto second = first.next_sibling())
        raiseMalformed("More than one document element", second.offset_debug());
    snapshot->root = first;
    impl_->replaceSnapshot(std::move(snapshot));
}

void DataIO::LoadFrom(const DataIO& other)
{
    if (!other.impl_->root())
        raiseMalformed("No document element found", 0);
    impl_->replaceSnapshot(other.impl_->snapshot);
}

bool DataIO::MoveToChild(std::int32_t index)
{
    const auto child = impl_->childAt(index);
    if (!child)
        return false;
    impl_->current = child;
    return true;
}

bool DataIO::MoveToRoot()
{
    const auto root = impl_->root();
    if (!root)
        return false;
    impl_->current = root;
    return true;
}

bool DataIO::MoveToParent()
{
    const auto parent = impl_->current.parent();
    if (!isElement(parent))
        return false;
    impl_->current = parent;
    return true;
}

void DataIO::Clear()
{
    impl_->replaceSnapshot(emptySnapshot());
}

bool DataIO::DeleteElement(std::string_view name)
{
    const auto found = impl_->lookup(name);
    if (!found)
        return false;
    const auto target = impl_->own(found);
    const auto parent = target.parent();
    if (contains(target, impl_->current))
        impl_->current = isElement(parent) ? parent : pugi::xml_node();
    impl_->remove(target);
    return true;
}

bool DataIO::InsertXml(std::string_view parentName, std::string_view xml)
{
    pugi::xml_document fragment;
    parseElements(fragment, xml);
    const auto found = impl_->lookup(parentName);
    if (!found)
        return false;
    const auto parent = impl_->own(found);
    for (const auto node : fragment.children())
        impl_->append(parent, node);
    return true;
}

bool DataIO::InsertCopy(std::string_view parentName, const DataIO& fragment)
{
    const auto top = fragment.impl_->root();
    if (!top)
        return false;
    const auto found = impl_->lookup(parentName);
    if (!found)
        return false;
    impl_->append(impl_->own(found), top);
    return true;
}

bool DataIO::ReplaceCopy(std::string_view name, std::string_view parentName, const DataIO& fragment)
{
    const auto found = impl_->lookup(name);
    const auto model = fragment.impl_->root();
    const bool inPlace = found && model && &fragment != this && !found.next_sibling()
                         && found.parent() == impl_->lookup(parentName) && sameShell(found, model);
    if (!inPlace) {
        DeleteElement(name);
        return InsertCopy(parentName, fragment);
    }
    const auto target = impl_->own(found);
    if (contains(target, impl_->current))
        impl_->current = target.parent();
    impl_->forgetPositionsIn(target);
    impl_->cursor = {};
    impl_->editInto(target, model);
    return true;
}

std::string DataIO::GetXml() const
{
    StringWriter writer;
    impl_->snapshot->document.save(writer, "", kFormat, pugi::encoding_utf8);
    return std::move(writer.text);
}

std::string DataIO::GetElementXml(std::string_view name) const
{
    const auto element = impl_->lookup(name);
    return element ? print(element) : std::string();
}

bool DataIO::FindElement(std::string_view name)
{
    const auto element = impl_->lookup(name);
    if (!element)
        return false;
    impl_->current = element;
    return true;
}

bool DataIO::HasAttribute(std::string_view name) const
{
    return !findAttribute(impl_->current, name).empty();
}

vb::Variant DataIO::GetAttribute(std::string_view name) const
{
    return attributeValue(impl_->current, name);
}

vb::Variant DataIO::GetText() const
{
    if (!impl_->current)
        return {};
    return textBelow(impl_->current);
}

bool DataIO::SetText(std::string_view text)
{
    if (!impl_->current)
        return false;
    impl_->setText(impl_->own(impl_->current), text);
    return true;
}

bool DataIO::SetChildTexts(std::string_view name, std::span<const std::string> texts)
{
    if (!impl_->current || !isName(name))
        return false;
    auto parent = impl_->own(impl_->current);
    const std::string elementName(name);
    impl_->cursor = {};
    auto child = parent.first_child();
    for (const auto& text : texts) {
        if (!isElement(child) || std::string_view(child.name()) != name || child.first_attribute()) {
            const auto added = child ? parent.insert_child_before(elementName.c_str(), child)
                                     : parent.append_child(elementName.c_str());
            impl_->snapshot->index.added(added);
            child = impl_->removeOne(child);
            impl_->setText(added, text);
            continue;
        }
        impl_->setText(child, text);
        child = child.next_sibling();
    }
    impl_->removeFrom(child);
    return true;
}

vb::Variant DataIO::GetChildText(std::int32_t index) const
{
    const auto child = impl_->childAt(index);
    if (!child)
        return {};
    return textBelow(child);
}

void DataIO::ForEachChild(std::string_view attribute,
                          const std::function<void(std::string_view text, const char* value)>& visit) const
{
    for (auto child = elementFrom(impl_->current.first_child()); child; child = elementFrom(child.next_sibling())) {
        const auto found = findAttribute(child, attribute);
        const char* value = found ? found.value() : nullptr;
        // Most children hold one text node, which is read where it lies.
        const auto only = child.first_child();
        if (only && !only.next_sibling() && (only.type() == pugi::node_pcdata || only.type() == pugi::node_cdata)) {
            visit(only.value(), value);
            continue;
        }
        impl_->scratch = textBelow(child);
        visit(impl_->scratch, value);
    }
}

std::int32_t DataIO::ChildCount() const
{
    const auto children = impl_->current.children();
    return static_cast<std::int32_t>(std::count_if(children.begin(), children.end(), isElement));
}

vb::Variant DataIO::GetChildAttribute(std::int32_t index, std::string_view name) const
{
    return attributeValue(impl_->childAt(index), name);
}

bool DataIO::SetAttribute(std::string_view name, std::string_view value)
{
    if (!impl_->current || !isName(name))
        return false;
    auto element = impl_->own(impl_->current);
    auto attribute = findAttribute(element, name);
    if (!attribute)
        attribute = element.append_attribute(std::string(name).c_str());
    return attribute.set_value(value.data(), value.size());
}

bool DataIO::AddElement(std::string_view parentName, std::string_view name)
{
    if (!isName(name))
        return false;
    const auto found = impl_->lookup(parentName);
    if (!found)
        return false;
    auto parent = impl_->own(found);
    const auto added = parent.append_child(std::string(name).c_str());
    if (!added)
        return false;
    impl_->snapshot->index.added(added);
    impl_->current = added;
    return true;
}

void DataIO::SetPosition(const Position& position)
{
    const auto element = impl_->elementOf(position.serial_);
    impl_->current = element ? element : impl_->root();
}

DataIO::Position DataIO::GetPosition() const
{
    Position position;
    if (impl_->current)
        position.serial_ = impl_->serialOf(impl_->current);
    return position;
}

}  // namespace velm
