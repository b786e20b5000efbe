#include "velm/DataIO.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Splits the input into an operation code and length-prefixed texts.
class Draw {
public:
    Draw(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    bool atEnd() const { return rest_.empty(); }

    std::uint8_t byte()
    {
        if (rest_.empty())
            return 0;
        const auto value = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return value;
    }

    std::string_view text()
    {
        const std::size_t length = std::min<std::size_t>(byte(), rest_.size());
        const auto value = rest_.substr(0, length);
        rest_.remove_prefix(length);
        return value;
    }

private:
    std::string_view rest_;
};

// A copy of the element of that name with one child's text changed, so that replacing it edits
// most of it in place; or, now and then, whatever fragment the input holds.
void drawFragment(velm::DataIO& fragment, const velm::DataIO& data, std::string_view name, Draw& in)
{
    const auto element = data.GetElementXml(name);
    if (element.empty() || in.byte() % 4 == 0)
        return fragment.LoadXml(in.text());
    fragment.LoadXml(element);
    fragment.MoveToChild(in.byte() % 4);
    fragment.SetText(in.text());
}

// plain: ReplaceCopy is done as the DeleteElement and InsertCopy it stands for.
void apply(velm::DataIO& data, Draw& in, bool plain)
{
    switch (in.byte() % 14) {
    case 0: data.LoadXml(in.text()); break;
    case 1: data.InsertXml(in.text(), in.text()); break;
    case 2: data.FindElement(in.text()); break;
    case 3: data.DeleteElement(in.text()); break;
    case 4: data.AddElement(in.text(), in.text()); break;
    case 5: data.SetText(in.text()); break;
    case 6: data.SetAttribute(in.text(), in.text()); break;
    case 7: data.setFromRoot(!data.FromRoot()); break;
    case 8: data.MoveToChild(static_cast<std::int8_t>(in.byte())); break;
    case 9: data.MoveToParent(); break;
    case 10:
        data.GetElementXml(in.text());
        data.GetText();
        data.GetChildText(in.byte());
        break;
    case 11: data.SetPosition(data.GetPosition()); break;
    case 12: {
        const auto name = in.text();
        const auto parentName = in.text();
        velm::DataIO fragment;
        drawFragment(fragment, data, name, in);
        if (!plain) {
            data.ReplaceCopy(name, parentName, fragment);
            break;
        }
        data.DeleteElement(name);
        data.InsertCopy(parentName, fragment);
        break;
    }
    case 13: {
        const auto name = in.text();
        std::vector<std::string> texts(in.byte() % 5);
        for (auto& text : texts)
            text = in.text();
        data.SetChildTexts(name, texts);
        break;
    }
    }
}

// The document's text as a plain parse writes it back, so that two texts of one document compare equal.
std::string normalised(const std::string& xml)
{
    pugi::xml_document document;
    document.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    std::ostringstream out;
    document.save(out, "", pugi::format_raw | pugi::format_no_declaration);
    return out.str();
}

// The first element of that name at or below scope in document order, by a plain walk.
pugi::xml_node walkFor(pugi::xml_node scope, const std::string& name)
{
    if (scope.type() == pugi::node_element && name == scope.name())
        return scope;
    for (auto child = scope.first_child(); child; child = child.next_sibling()) {
        if (const auto found = walkFor(child, name))
            return found;
    }
    return {};
}

void collectNames(pugi::xml_node node, std::set<std::string>& names)
{
    if (node.type() == pugi::node_element)
        names.insert(node.name());
    for (auto child = node.first_child(); child; child = child.next_sibling())
        collectNames(child, names);
}

pugi::xml_node childElement(pugi::xml_node parent, int index)
{
    for (auto child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && index-- == 0)
            return child;
    }
    return {};
}

// Every name in the document, and one that is not, looked up through a DataIO sharing the
// document (its index, and the copy its first edit makes) must mark the element a plain walk finds.
void checkLookups(const velm::DataIO& data, Draw& in)
{
    const auto xml = data.GetXml();
    if (xml.empty())
        return;
    pugi::xml_document plain;
    plain.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    std::set<std::string> names{"absent"};
    collectNames(plain.document_element(), names);
    const int child = in.byte() % 3;
    for (const auto& name : names) {
        for (const bool fromRoot : {true, false}) {
            velm::DataIO probe;
            probe.LoadFrom(data);
            auto scope = plain.document_element();
            if (!fromRoot && probe.MoveToChild(child))
                scope = childElement(scope, child);
            probe.setFromRoot(fromRoot);
            const bool found = probe.FindElement(name);
            auto expected = walkFor(scope, name);
            if (found != static_cast<bool>(expected))
                std::abort();
            if (!found)
                continue;
            probe.SetAttribute("fuzz-found", "1");
            const bool had = !expected.attribute("fuzz-found").empty();
            expected.attribute("fuzz-found") ? expected.attribute("fuzz-found").set_value("1")
                                             : expected.append_attribute("fuzz-found").set_value("1");
            std::ostringstream marked;
            plain.save(marked, "", pugi::format_raw | pugi::format_no_declaration);
            if (normalised(probe.GetXml()) != normalised(marked.str()) || data.GetXml() != xml)
                std::abort();
            if (!had)
                expected.remove_attribute("fuzz-found");
        }
    }
}

}  // namespace

// What the current element is: the document with it marked (which both twins then keep).
std::string markedCurrent(velm::DataIO& data)
{
    data.SetAttribute("fuzz-current", "1");
    return data.GetXml();
}

// Runs a sequence of edits; after each, lookups by name agree with a plain walk, a twin doing
// the same edits the plain way holds the same document and current element, and whatever the
// document became must write XML that loads again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Draw in(data, size);
    velm::DataIO document;
    velm::DataIO twin;
    velm::DataIO::Position saved;
    velm::DataIO::Position twinSaved;
    while (!in.atEnd()) {
        // Now and then the edit finds its document shared, so it must copy it and carry its places over.
        velm::DataIO shared;
        const bool sharing = in.byte() % 2 == 0 && !document.GetXml().empty();
        if (sharing)
            shared.LoadFrom(document);
        const auto sharedXml = shared.GetXml();
        Draw twinIn = in;
        try {
            apply(document, in, false);
        } catch (const vb::ComError&) {
        }
        try {
            apply(twin, twinIn, true);
        } catch (const vb::ComError&) {
        }
        if (shared.GetXml() != sharedXml || twin.GetXml() != document.GetXml()
            || twin.GetText().toString() != document.GetText().toString() || twin.ChildCount() != document.ChildCount())
            std::abort();
        checkLookups(document, in);
        const auto step = in.byte();
        if (step % 4 == 0) {
            saved = document.GetPosition();
            twinSaved = twin.GetPosition();
        } else {
            document.SetPosition(saved);
            twin.SetPosition(twinSaved);
        }
        if (step % 8 == 1 && markedCurrent(twin) != markedCurrent(document))
            std::abort();
    }
    // The first reload may drop blanks between elements or normalise line ends; the second is exact.
    velm::DataIO copy;
    if (const auto xml = document.GetXml(); !xml.empty())
        copy.LoadXml(xml);
    const auto written = copy.GetXml();
    velm::DataIO again;
    if (!written.empty())
        again.LoadXml(written);
    if (again.GetXml() != written)
        std::abort();
    return 0;
}
