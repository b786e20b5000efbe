#pragma once

#include "vb/ComError.h"
#include "vb/Variant.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace velm {

// The driver library's XML document: one document, one current element and the scope flag
// FromRoot. Lookups that find nothing return false, Empty, 0 or "" and leave the current
// element where it was; only malformed XML raises (a vb::ComError).
class DataIO {
public:
    // The number LoadXml and InsertXml raise for malformed XML: an object-defined error, so that
    // it is never mistaken for a fault of the caller's own code.
    static constexpr std::int32_t kMalformedXml = vb::kObjectErrorBase + 1;

    // An opaque saved current element; it survives every edit, and one whose element was
    // deleted (or that came from another DataIO) resolves to the document element.
    class Position {
    public:
        Position() = default;
        // Equal when saved from the same element.
        bool operator==(const Position&) const = default;

    private:
        friend class DataIO;
        std::uint64_t serial_ = 0;
    };

    DataIO();
    ~DataIO();
    DataIO(const DataIO&) = delete;
    DataIO& operator=(const DataIO&) = delete;

    // The object that owns this document; not kept alive by it.
    void setOwner(std::weak_ptr<void> owner);
    std::shared_ptr<void> Owner() const;

    // Changes with every load, clear and edit, to a number no DataIO in the process had before,
    // so a caller can tell that a document still holds exactly what it left there.
    std::uint64_t Revision() const;

    // True: by-name lookups search the whole document; false: the current element's subtree.
    bool FromRoot() const;
    void setFromRoot(bool fromRoot);

    // Replaces the document; the document element becomes current. NULs and white space after
    // the last element are ignored. Malformed XML raises and leaves the document unchanged.
    void LoadXml(std::string_view xml);
    // Replaces the document with a copy of other's, as LoadXml(other.GetXml()) would, without
    // writing and parsing the text; raises as LoadXml does when other has no document element.
    void LoadFrom(const DataIO& other);

    // Current := the child element at index (from 0); false when there is none.
    bool MoveToChild(std::int32_t index);
    // Current := the document element; false for an empty document.
    bool MoveToRoot();
    // Current := the parent element; false at the document element.
    bool MoveToParent();

    // Releases the document; every position then resolves to nothing, and after a later load
    // to the new document element.
    void Clear();

    // Removes the element of that name with its subtree; false when none is found. A current
    // element inside it moves to the deleted element's parent.
    bool DeleteElement(std::string_view name);

    // Parses the fragment and appends it under the element of that name; false when that
    // element is missing. A malformed fragment raises and changes nothing.
    bool InsertXml(std::string_view parentName, std::string_view xml);
    // Appends a copy of another DataIO's document element under the element of that name, as
    // InsertXml of its GetXml would, without writing and parsing the text; false when that
    // element is missing or fragment is empty.
    bool InsertCopy(std::string_view parentName, const DataIO& fragment);

    // Removes the element of that name, when there is one, then appends a copy of fragment's
    // document element under the element named parentName, as DeleteElement and InsertCopy would
    // in turn. A removed element that was that parent's last child is edited into the copy where
    // the two agree, so that what did not change is not built again. False when the parent is
    // missing or fragment is empty.
    bool ReplaceCopy(std::string_view name, std::string_view parentName, const DataIO& fragment);
    // Makes the current element's children one element of that name per text, in order, each
    // holding its text as SetText gives it; children that already match are kept.
    bool SetChildTexts(std::string_view name, std::span<const std::string> texts);

    // The whole document, compact: no declaration, no indentation, empty elements as <Name/>.
    std::string GetXml() const;
    // The outer XML of the element of that name, compact; "" when none is found.
    std::string GetElementXml(std::string_view name) const;

    // Current := the first element of that name in scope; true when found.
    bool FindElement(std::string_view name);

    // Whether the current element has the attribute.
    bool HasAttribute(std::string_view name) const;
    // The current element's attribute value; Empty when missing.
    vb::Variant GetAttribute(std::string_view name) const;
    // All text and CDATA below the current element; Empty without a current element.
    vb::Variant GetText() const;
    // Replaces the current element's content with one text node.
    bool SetText(std::string_view text);
    // The text of the child element at index; Empty when there is none.
    vb::Variant GetChildText(std::int32_t index) const;
    // Hands visit the text of each child element of the current element, as GetChildText gives
    // it, and the child's attribute of that name (nullptr when it has none), in order; the views
    // last only as long as that call of visit.
    void ForEachChild(std::string_view attribute,
                      const std::function<void(std::string_view text, const char* value)>& visit) const;
    // The number of child elements of the current element.
    std::int32_t ChildCount() const;
    // An attribute of the child element at index; Empty when either is missing.
    vb::Variant GetChildAttribute(std::int32_t index, std::string_view name) const;
    // Sets or creates an attribute on the current element.
    bool SetAttribute(std::string_view name, std::string_view value);

    // Appends a new empty element under the element of that name; it becomes current.
    bool AddElement(std::string_view parentName, std::string_view name);

    // Current := the saved element (the document element when it was deleted).
    void SetPosition(const Position& position);
    Position GetPosition() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace velm
