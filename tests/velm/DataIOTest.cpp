#include "velm/DataIO.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>

namespace {

using namespace std::string_literals;

// The element reached from the document element through these child indices.
void moveTo(velm::DataIO& data, std::initializer_list<int> path)
{
    ASSERT_TRUE(data.MoveToRoot());
    for (const int index : path)
        ASSERT_TRUE(data.MoveToChild(index));
}

std::string idOfCurrent(const velm::DataIO& data) { return data.GetAttribute("id").toString(); }

TEST(DataIO, WritesCompactXmlThatLoadsBackUnchanged)
{
    const std::pair<std::string, std::string> cases[] = {
        {"<?xml version=\"1.0\"?>\n<a>\n  <b></b>\n  <c x='1'/>\n</a>\n", "<a><b/><c x=\"1\"/></a>"},
        {"<a><d>  </d><e> x </e></a>", "<a><d>  </d><e> x </e></a>"},
        {"<a/>\0\0\0 \r\n\0"s, "<a/>"},
    };
    for (const auto& [input, expected] : cases) {
        SCOPED_TRACE(input);
        velm::DataIO data;
        data.LoadXml(input);
        EXPECT_EQ(data.GetXml(), expected);
        velm::DataIO copy;
        copy.LoadXml(data.GetXml());
        EXPECT_EQ(copy.GetXml(), expected);
    }
}

struct MalformedCase {
    std::string xml;
    std::string description;
    bool wellFormedFragment;
};

TEST(DataIO, MalformedXmlRaisesAndChangesNothing)
{
    const MalformedCase cases[] = {
        {"", "No document element found at offset 0", true},
        {" \0 "s, "No document element found at offset 0", true},
        {"<a/><b/>", "More than one document element at offset 5", true},
        {"<a>", "Start-end tags mismatch at offset 2", false},
        {"<a/>text", "Text outside an element at offset 4", false},
        {"<a>x\0y</a>"s, "NUL character at offset 4", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml);
        velm::DataIO data;
        data.LoadXml("<keep><x id='1'/></keep>");
        ASSERT_TRUE(data.FindElement("x"));
        try {
            data.LoadXml(c.xml);
            ADD_FAILURE() << "no error";
        } catch (const vb::ComError& error) {
            EXPECT_EQ(error.number, velm::DataIO::kMalformedXml);
            EXPECT_EQ(error.description, "Malformed XML: " + c.description);
        }
        if (!c.wellFormedFragment) {
            EXPECT_THROW(data.InsertXml("keep", "<y/>" + c.xml), vb::ComError);
        }
        EXPECT_EQ(data.GetXml(), "<keep><x id=\"1\"/></keep>");
        EXPECT_EQ(idOfCurrent(data), "1");
    }
}

struct ScopeCase {
    bool fromRoot;
    std::initializer_list<int> start;
    const char* name;
    std::optional<std::string> found;
};

TEST(DataIO, ByNameLookupsFollowFromRoot)
{
    const ScopeCase cases[] = {
        {true, {0, 0, 0}, "b", "2"},
        {true, {1}, "r", "0"},
        {true, {0}, "missing", std::nullopt},
        {false, {0, 0}, "b", "2"},
        {false, {0, 0}, "a", "3"},
        {false, {0, 0, 0}, "b", std::nullopt},
        {false, {1}, "a", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.fromRoot ? " from root" : " below current"));
        velm::DataIO data;
        data.LoadXml("<r id='0'><a id='1'><b id='2'><a id='3'/></b></a><b id='4'/></r>");
        moveTo(data, c.start);
        const auto before = idOfCurrent(data);
        data.setFromRoot(c.fromRoot);
        EXPECT_EQ(data.FindElement(c.name), c.found.has_value());
        EXPECT_EQ(idOfCurrent(data), c.found.value_or(before));
        EXPECT_EQ(data.GetElementXml(c.name).empty(), !c.found);
        EXPECT_EQ(data.DeleteElement(c.name), c.found.has_value());
    }
}

TEST(DataIO, AddElementNestsUnderTheElementJustFoundOrAdded)
{
    velm::DataIO data;
    data.LoadXml("<Item><Other/></Item>");
    EXPECT_TRUE(data.AddElement("Item", "State"));
    data.setFromRoot(false);
    EXPECT_TRUE(data.AddElement("State", "Responses"));
    EXPECT_TRUE(data.AddElement("Responses", "Response"));
    EXPECT_TRUE(data.SetText("A"));
    EXPECT_FALSE(data.AddElement("Other", "Response"));
    for (const char* badName : {"", "1x", "a b", "<x>"})
        EXPECT_FALSE(data.AddElement("Response", badName));
    EXPECT_EQ(data.GetText().toString(), "A");
    data.setFromRoot(true);
    EXPECT_TRUE(data.AddElement("Responses", "Response"));
    EXPECT_TRUE(data.SetAttribute("Value", "C"));
    EXPECT_EQ(data.GetXml(), "<Item><Other/><State><Responses><Response>A</Response><Response Value=\"C\"/>"
                             "</Responses></State></Item>");
}

TEST(DataIO, DeletingTheSubtreeOfTheCurrentElementMovesToItsParent)
{
    velm::DataIO data;
    data.LoadXml("<r id='0'><s id='1'><t id='2'><u id='3'/></t></s><v id='4'/></r>");
    moveTo(data, {0, 0, 0});
    EXPECT_TRUE(data.DeleteElement("t"));
    EXPECT_EQ(idOfCurrent(data), "1");
    moveTo(data, {1});
    EXPECT_TRUE(data.DeleteElement("s"));
    EXPECT_EQ(idOfCurrent(data), "4");
    EXPECT_FALSE(data.DeleteElement("s"));
    EXPECT_TRUE(data.DeleteElement("r"));
    EXPECT_EQ(data.GetXml(), "");
    EXPECT_FALSE(data.MoveToRoot());
}

TEST(DataIO, PositionsSurviveEdits)
{
    velm::DataIO data;
    data.LoadXml("<r id='0'><a id='1'><b id='2'/></a><c id='3'/></r>");
    moveTo(data, {1});
    const auto c = data.GetPosition();
    moveTo(data, {0, 0});
    const auto b = data.GetPosition();
    EXPECT_TRUE(data.InsertXml("r", "<n id='5'/>"));
    EXPECT_TRUE(data.AddElement("a", "m"));
    EXPECT_TRUE(data.DeleteElement("a"));
    data.SetPosition(c);
    EXPECT_EQ(idOfCurrent(data), "3");
    data.SetPosition(b);
    EXPECT_EQ(idOfCurrent(data), "0");
    data.SetPosition(velm::DataIO::Position());
    EXPECT_EQ(idOfCurrent(data), "0");

    velm::DataIO other;
    other.LoadXml("<o id='9'><p id='8'/></o>");
    ASSERT_TRUE(other.MoveToChild(0));
    other.SetPosition(c);
    EXPECT_EQ(idOfCurrent(other), "9");

    data.Clear();
    data.SetPosition(c);
    EXPECT_TRUE(data.GetText().isEmpty());
    data.LoadXml("<z id='7'><y/></z>");
    data.SetPosition(c);
    EXPECT_EQ(idOfCurrent(data), "7");
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
    EXPECT_EQ(data.GetElementXml("q"), "<q><w/></q>");
    EXPECT_EQ(data.GetElementXml("y"), "");
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
        EXPECT_EQ(data.GetChildText(index), text);
        EXPECT_EQ(data.GetChildAttribute(index, "k"), attribute);
        EXPECT_EQ(data.MoveToChild(index), !text.isEmpty());
        EXPECT_EQ(data.HasAttribute("k"), !attribute.isEmpty());
        EXPECT_EQ(data.GetAttribute("k"), attribute);
        data.MoveToRoot();
    }
    EXPECT_FALSE(data.MoveToParent());
    ASSERT_TRUE(data.MoveToChild(0) && data.MoveToChild(0));
    const auto inside = data.GetPosition();
    EXPECT_TRUE(data.MoveToParent());
    EXPECT_TRUE(data.SetText("a & <b>"));
    EXPECT_TRUE(data.SetAttribute("k", "\"2\""));
    EXPECT_TRUE(data.SetAttribute("n", ""));
    EXPECT_EQ(data.GetElementXml("a"), "<a k=\"&quot;2&quot;\" n=\"\">a &amp; &lt;b&gt;</a>");
    EXPECT_TRUE(data.SetText(""));
    EXPECT_EQ(data.GetElementXml("a"), "<a k=\"&quot;2&quot;\" n=\"\"/>");
    data.SetPosition(inside);
    EXPECT_EQ(data.ChildCount(), 3);
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
        EXPECT_EQ(data.ChildCount(), 0);
        EXPECT_EQ(data.GetXml() + data.GetElementXml("a"), "");
        data.SetPosition(data.GetPosition());
        data.Clear();
    }
}

// Finding, reading and deleting walk the tree without recursion, so no nesting exhausts the stack.
TEST(DataIO, HandlesDeepDocuments)
{
    constexpr int kDepth = 300000;
    std::string deep;
    for (int i = 0; i < kDepth; ++i)
        deep += "<d>";
    deep += "<leaf>x</leaf>";
    for (int i = 0; i < kDepth; ++i)
        deep += "</d>";
    velm::DataIO data;
    data.LoadXml("<r><last>end</last></r>");
    EXPECT_TRUE(data.InsertXml("last", deep));
    EXPECT_TRUE(data.FindElement("leaf"));
    data.setFromRoot(false);
    EXPECT_TRUE(data.MoveToRoot() && data.FindElement("last"));
    EXPECT_EQ(data.GetText().toString(), "endx");
    EXPECT_EQ(data.GetElementXml("last").size(), deep.size() + 16);
    EXPECT_TRUE(data.DeleteElement("d"));
    EXPECT_EQ(data.GetElementXml("last"), "<last>end</last>");
}

}  // namespace
