#include "velm/DataIO.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace std::string_literals;

// The element reached from the document element through these child indices.
void moveTo(velm::DataIO& data, const std::vector<int>& path)
{
    ASSERT_TRUE(data.MoveToRoot());
    for (const int index : path)
        ASSERT_TRUE(data.MoveToChild(index));
}

std::string idOfCurrent(const velm::DataIO& data)
{
    return data.GetAttribute("id").toString();
}

TEST(DataIO, LoadXmlWritesBackCompactOrRaisesAndChangesNothing)
{
    // The text loaded, the compact XML it writes back or the error it raises, and whether the
    // malformed text also spoils a fragment that starts well.
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"<?xml version=\"1.0\"?>\n<a>\n  <b></b>\n  <c x='1'/>\n</a>\n", "<a><b/><c x=\"1\"/></a>", false},
        {"<a><d>  </d><e> x </e></a>", "<a><d>  </d><e> x </e></a>", false},
        {"<a/>\0\0\0 \r\n\0"s, "<a/>", false},
        {"", "Malformed XML: No document element found at offset 0", false},
        {" \0 "s, "Malformed XML: No document element found at offset 0", false},
        {"<a/><b/>", "Malformed XML: More than one document element at offset 5", false},
        {"<a>", "Malformed XML: Start-end tags mismatch at offset 2", true},
        {"<a/>text", "Malformed XML: Text outside an element at offset 4", true},
        {"<a>x\0y</a>"s, "Malformed XML: NUL character at offset 4", true},
    };
    for (const auto& [xml, expected, spoilsFragment] : cases) {
        SCOPED_TRACE(xml);
        velm::DataIO data;
        data.LoadXml("<keep><x id='1'/></keep>");
        ASSERT_TRUE(data.FindElement("x"));
        try {
            data.LoadXml(xml);
            EXPECT_EQ(data.GetXml(), expected);
            data.LoadXml(data.GetXml());
            EXPECT_EQ(data.GetXml(), expected);
        } catch (const vb::ComError& error) {
            EXPECT_EQ((std::tuple{error.number, error.description}),
                      (std::tuple{velm::DataIO::kMalformedXml, expected}));
            if (spoilsFragment)
                EXPECT_THROW(data.InsertXml("keep", "<y/>" + xml), vb::ComError);
            EXPECT_EQ(data.GetXml() + idOfCurrent(data), "<keep><x id=\"1\"/></keep>1");
        }
    }
}

TEST(DataIO, LoadFromCopiesTheDocumentAsItsTextWouldAndLeavesTheOriginalAlone)
{
    velm::DataIO original;
    original.LoadXml("<item><Answers><Answer Weight='1'>A &amp; B</Answer></Answers><![CDATA[<html>]]></item>");
    original.AddElement("item", "State");
    ASSERT_TRUE(original.FindElement("Answers"));
    const std::string copied = R"(<item><Answers><Answer Weight="1">A &amp; B</Answer></Answers><![CDATA[<html>]]>)";
    velm::DataIO copy;
    velm::DataIO second;
    copy.LoadXml("<old/>");
    copy.LoadFrom(original);
    second.LoadFrom(original);
    EXPECT_EQ(copy.GetElementXml("item"), copied + "<State/></item>");
    // Each side's edits stay its own, and the original keeps its place.
    copy.DeleteElement("State");
    EXPECT_EQ((std::tuple{copy.GetXml(), original.ChildCount()}), (std::tuple{copied + "</item>", 1}));
    original.SetText("changed");
    EXPECT_EQ(second.GetXml(), copied + "<State/></item>");

    velm::DataIO empty;
    EXPECT_THAT([&] { copy.LoadFrom(empty); },
                testing::ThrowsMessage<vb::ComError>("Malformed XML: No document element found at offset 0"));
    EXPECT_EQ(copy.GetXml(), copied + "</item>");
}

TEST(DataIO, ByNameLookupsFollowFromRoot)
{
    // FromRoot, the path to the current element, the name looked up, and the id found.
    const std::tuple<bool, std::vector<int>, const char*, std::optional<std::string>> cases[] = {
        {true, {0, 0, 0}, "b", "2"},     {true, {1}, "r", "0"},     {true, {0}, "missing", std::nullopt},
        {false, {0, 0}, "b", "2"},       {false, {0, 0}, "a", "3"}, {false, {0, 0, 0}, "b", std::nullopt},
        {false, {1}, "a", std::nullopt},
    };
    for (const auto& [fromRoot, start, name, found] : cases) {
        SCOPED_TRACE(std::string(name) + (fromRoot ? " from root" : " below current"));
        velm::DataIO data;
        data.LoadXml("<r id='0'><a id='1'><b id='2'><a id='3'/></b></a><b id='4'/></r>");
        moveTo(data, start);
        const auto before = idOfCurrent(data);
        data.setFromRoot(fromRoot);
        EXPECT_EQ((std::tuple{data.FindElement(name), idOfCurrent(data), !data.GetElementXml(name).empty(),
                              data.DeleteElement(name)}),
                  (std::tuple{found.has_value(), found.value_or(before), found.has_value(), found.has_value()}));
    }
}

TEST(DataIO, AddElementNestsUnderTheElementJustFoundOrAdded)
{
    velm::DataIO data;
    data.LoadXml("<Item><Other/></Item>");
    EXPECT_TRUE(data.AddElement("Item", "State"));
    data.setFromRoot(false);
    EXPECT_TRUE(data.AddElement("State", "Responses") && data.AddElement("Responses", "Response") && data.SetText("A"));
    EXPECT_FALSE(data.AddElement("Other", "Response"));
    for (const char* badName : {"", "1x", "a b", "<x>"})
        EXPECT_FALSE(data.AddElement("Response", badName));
    EXPECT_EQ(data.GetText().toString(), "A");
    data.setFromRoot(true);
    EXPECT_TRUE(data.AddElement("Responses", "Response") && data.SetAttribute("Value", "C"));
    EXPECT_EQ(data.GetXml(), "<Item><Other/><State><Responses><Response>A</Response><Response Value=\"C\"/>"
                             "</Responses></State></Item>");
}

TEST(DataIO, InsertXmlAppendsEveryTopLevelElementOfTheFragment)
{
    velm::DataIO data;
    data.LoadXml("<r><p><q/></p><q/></r>");
    EXPECT_TRUE(data.InsertXml("q", "<x a='1'/>\n<y>t</y>\0\0 "s));
    EXPECT_FALSE(data.InsertXml("missing", "<z/>"));
    EXPECT_TRUE(data.InsertXml("p", ""));
    data.setFromRoot(false);
    ASSERT_TRUE(data.MoveToChild(1));
    EXPECT_TRUE(data.InsertXml("q", "<w/>"));
    EXPECT_EQ(data.GetXml(), "<r><p><q><x a=\"1\"/><y>t</y></q></p><q><w/></q></r>");
}

// A current element inside a deleted subtree moves to its parent; a saved one resolves to the
// document element, also after Clear and in another DataIO.
TEST(DataIO, NoPositionOrCurrentElementDanglesAfterAnEdit)
{
    velm::DataIO data;
    data.LoadXml("<r id='0'><a id='1'><b id='2'><u id='6'/></b></a><c id='3'/></r>");
    moveTo(data, {1});
    const auto c = data.GetPosition();
    moveTo(data, {0, 0});
    const auto b = data.GetPosition();
    moveTo(data, {0, 0, 0});
    EXPECT_TRUE(data.DeleteElement("b"));
    EXPECT_EQ(idOfCurrent(data), "1");
    EXPECT_TRUE(data.InsertXml("r", "<n id='5'/>") && data.AddElement("a", "m"));
    moveTo(data, {1});
    EXPECT_TRUE(data.DeleteElement("a"));
    EXPECT_EQ(idOfCurrent(data), "3");
    EXPECT_FALSE(data.DeleteElement("a"));
    const auto idAt = [](velm::DataIO& data, const velm::DataIO::Position& position) {
        data.SetPosition(position);
        return idOfCurrent(data);
    };
    EXPECT_EQ((std::vector{idAt(data, b), idAt(data, c), idAt(data, {})}), (std::vector<std::string>{"0", "3", "0"}));

    velm::DataIO other;
    other.LoadXml("<o id='9'><p id='8'/></o>");
    ASSERT_TRUE(other.MoveToChild(0));
    EXPECT_EQ(idAt(other, c), "9");

    data.Clear();
    data.SetPosition(c);
    EXPECT_TRUE(data.GetText().isEmpty());
    data.LoadXml("<z id='7'><y/></z>");
    EXPECT_EQ(idAt(data, c), "7");
    EXPECT_TRUE(data.DeleteElement("z") && data.GetXml().empty() && !data.MoveToRoot());
}

// Replacing leaves the document, the current element and saved places as deleting and then
// appending a copy would, whether the old element is edited in place or not.
TEST(DataIO, ReplaceCopyEndsAsDeleteAndInsertCopy)
{
    const std::tuple<std::string, std::string, std::vector<int>> cases[] = {
        {"<r id='0'><s id='1'><x id='2'>a</x><x id='3'>b</x></s></r>", "<s id='1'><x id='2'>c</x></s>", {0, 1}},
        {"<r id='0'><s id='1'><x id='2'>a</x></s></r>", "<s id='1'><x id='2' k='v'>a</x>t<!--c--><y/></s>", {0, 0}},
        {"<r id='0'><s id='1'><x id='2'/></s><t id='4'/></r>", "<s id='1'><x id='2'/></s>", {0}},
        {"<r id='0'><s id='1'><x id='2'/></s></r>", "<q id='5'><x id='2'/></q>", {0, 0}},
        {"<r id='0'><t id='4'/></r>", "<s id='1'/>", {0}},
    };
    for (const auto& [document, fragmentXml, path] : cases) {
        velm::DataIO fragment;
        fragment.LoadXml(fragmentXml);
        velm::DataIO replaced;
        velm::DataIO plain;
        std::vector<velm::DataIO::Position> saved;
        for (auto* data : {&replaced, &plain}) {
            data->LoadXml(document);
            moveTo(*data, {0});
            saved.push_back(data->GetPosition());
            moveTo(*data, path);
        }
        EXPECT_TRUE(replaced.ReplaceCopy("s", "r", fragment));
        plain.DeleteElement("s");
        EXPECT_TRUE(plain.InsertCopy("r", fragment));
        EXPECT_EQ(replaced.GetXml(), plain.GetXml()) << document;
        EXPECT_EQ(idOfCurrent(replaced), idOfCurrent(plain)) << document;
        replaced.SetPosition(saved[0]);
        plain.SetPosition(saved[1]);
        EXPECT_EQ(idOfCurrent(replaced), idOfCurrent(plain)) << document;
    }
}

TEST(DataIO, SetChildTextsKeepsOnlyPlainChildrenOfThatName)
{
    velm::DataIO data;
    data.LoadXml("<l><i>a</i><j/><i k='1'>b</i>t<i><u/></i></l>");
    EXPECT_TRUE(data.SetChildTexts("i", std::vector<std::string>{"x", "", "a\0b"s, "<&>"}));
    EXPECT_EQ(data.GetXml(), "<l><i>x</i><i/><i>a</i><i>&lt;&amp;&gt;</i></l>");
    EXPECT_FALSE(data.SetChildTexts("1i", {}));
}

TEST(DataIO, TextAndChildrenCountElementsOnly)
{
    velm::DataIO data;
    data.LoadXml("<r>lead<!--c--><a k='1'>x<i>y<![CDATA[<z>]]></i>w</a>mid<b/><![CDATA[q]]><c k=''>\n  </c></r>");
    EXPECT_EQ(data.GetText().toString(), "leadxy<z>wmidq\n  ");
    EXPECT_EQ(data.ChildCount(), 3);
    const std::tuple<int, vb::Variant, vb::Variant> children[] = {
        {-1, {}, {}}, {0, "xy<z>w", "1"}, {1, "", {}}, {2, "\n  ", ""}, {3, {}, {}},
    };
    for (const auto& [index, text, attribute] : children) {
        SCOPED_TRACE(index);
        EXPECT_EQ((std::tuple{data.GetChildText(index), data.GetChildAttribute(index, "k"), data.MoveToChild(index),
                              data.HasAttribute("k"), data.GetAttribute("k")}),
                  (std::tuple{text, attribute, !text.isEmpty(), !attribute.isEmpty(), attribute}));
        data.MoveToRoot();
    }
    EXPECT_FALSE(data.MoveToParent());
    ASSERT_TRUE(data.MoveToChild(0) && data.MoveToChild(0));
    const auto inside = data.GetPosition();
    EXPECT_TRUE(data.MoveToParent());
    EXPECT_TRUE(data.SetText("t") && data.SetAttribute("k", "2") && data.SetAttribute("n", ""));
    EXPECT_EQ(data.GetElementXml("a"), "<a k=\"2\" n=\"\">t</a>");
    EXPECT_TRUE(data.SetText(""));
    EXPECT_EQ(data.GetElementXml("a"), "<a k=\"2\" n=\"\"/>");
    data.SetPosition(inside);
    EXPECT_EQ(data.ChildCount(), 3);
}

// Children read by index stay right while the element list changes between reads.
TEST(DataIO, ChildrenByIndexFollowEdits)
{
    velm::DataIO data;
    data.LoadXml("<r><a>0</a><b>1</b><c>2</c><d>3</d></r>");
    EXPECT_EQ(data.GetChildText(2).toString(), "2");
    ASSERT_TRUE(data.DeleteElement("b"));
    EXPECT_EQ((std::vector{data.GetChildText(2), data.GetChildText(1)}), (std::vector<vb::Variant>{"3", "2"}));
    ASSERT_TRUE(data.AddElement("r", "e") && data.SetText("4") && data.MoveToParent());
    EXPECT_EQ(data.GetChildText(3).toString(), "4");
    ASSERT_TRUE(data.MoveToChild(1));
    EXPECT_TRUE(data.GetChildText(0).isEmpty());
    data.LoadXml("<r><x>new</x></r>");
    EXPECT_EQ((std::vector{data.GetChildText(0), data.GetChildText(1)}), (std::vector<vb::Variant>{"new", {}}));
}

TEST(DataIO, EmptyDocumentAnswersNothing)
{
    velm::DataIO data;
    EXPECT_TRUE(data.FromRoot());
    for (const bool fromRoot : {true, false}) {
        data.setFromRoot(fromRoot);
        EXPECT_FALSE(data.FindElement("a") || data.MoveToRoot() || data.MoveToParent() || data.MoveToChild(0));
        EXPECT_FALSE(data.DeleteElement("a") || data.InsertXml("a", "<b/>") || data.AddElement("a", "b"));
        EXPECT_FALSE(data.SetText("t") || data.SetAttribute("n", "v") || data.HasAttribute("n"));
        EXPECT_TRUE(data.GetText().isEmpty() && data.GetAttribute("n").isEmpty());
        EXPECT_TRUE(data.GetChildText(0).isEmpty() && data.GetChildAttribute(0, "n").isEmpty());
        EXPECT_EQ(data.GetXml() + data.GetElementXml("a") + std::to_string(data.ChildCount()), "0");
        data.SetPosition(data.GetPosition());
        data.Clear();
    }
}

// Finding, reading and deleting walk the tree without recursion, so no nesting exhausts the stack.
TEST(DataIO, HandlesDeepDocuments)
{
    std::string open, close;
    for (int i = 0; i < 300000; ++i) {
        open += "<d>";
        close += "</d>";
    }
    velm::DataIO data;
    data.LoadXml("<r><last>end</last></r>");
    EXPECT_TRUE(data.InsertXml("last", open + "<leaf>x</leaf>" + close));
    EXPECT_TRUE(data.FindElement("leaf"));
    data.setFromRoot(false);
    EXPECT_TRUE(data.MoveToRoot() && data.FindElement("last"));
    EXPECT_EQ(data.GetText().toString(), "endx");
    EXPECT_EQ(data.GetElementXml("last").size(), open.size() + close.size() + 30);
    EXPECT_TRUE(data.DeleteElement("d"));
    EXPECT_EQ(data.GetElementXml("last"), "<last>end</last>");
}

}  // namespace
