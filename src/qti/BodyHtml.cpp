#include "qti/BodyHtml.h"

#include "qti/ImportRefusal.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace quorin::qti {
namespace {

constexpr std::array<std::string_view, 14> kVoidElements = {"area",  "base", "br",   "col",   "embed",  "hr",    "img",
                                                            "input", "link", "meta", "param", "source", "track", "wbr"};

// Body content that shows template or outcome values, which this item format cannot hold.
constexpr std::array<std::string_view, 4> kRefusedContent = {"templateBlock", "templateInline", "printedVariable",
                                                             "include"};

constexpr std::array<std::string_view, 3> kFeedback = {"feedbackBlock", "feedbackInline", "modalFeedback"};

struct StringWriter : pugi::xml_writer {
    void write(const void* data, std::size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

template <std::size_t N>
bool isOneOf(std::string_view name, const std::array<std::string_view, N>& names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::vector<pugi::xml_node> elementsNamed(pugi::xml_node root, std::string_view name)
{
    std::vector<pugi::xml_node> found;
    forEachElement(root, [&](pugi::xml_node node) {
        if (name == node.name())
            found.push_back(node);
    });
    return found;
}

bool isForCandidate(pugi::xml_node rubric)
{
    const std::string views = rubric.attribute("view").as_string();
    return views.find("candidate") != std::string::npos;
}

bool isExternal(std::string_view reference)
{
    return reference.empty() || reference.find(':') != std::string_view::npos || reference.front() == '/'
           || reference.front() == '#';
}

std::string wrapped(const std::string& content)
{
    return "<html><body>" + content + "</body></html>";
}

}  // namespace

BodyHtml::BodyHtml(std::vector<std::string>& notes) : notes_(notes) {}

std::string BodyHtml::stemOf(pugi::xml_node body, pugi::xml_node interaction)
{
    pugi::xml_document scratch;
    auto copy = scratch.append_copy(body);
    takeOutRubricBlocks(copy);
    auto copied = elementsNamed(copy, interaction.name()).front();
    if (const auto prompt = copied.child("prompt")) {
        auto promptBlock = copied.parent().insert_child_before("div", copied);
        promptBlock.append_attribute("class") = "prompt";
        for (const auto child : prompt.children())
            promptBlock.append_copy(child);
    }
    copied.parent().remove_child(copied);
    return wrapped(htmlOf(copy));
}

std::string BodyHtml::choiceOf(pugi::xml_node choice)
{
    pugi::xml_document scratch;
    return wrapped(htmlOf(scratch.append_copy(choice)));
}

void BodyHtml::takeOutRubricBlocks(pugi::xml_node body)
{
    std::string candidate;
    for (auto rubric : elementsNamed(body, "rubricBlock")) {
        if (isForCandidate(rubric)) {
            const auto content = rubric.child("contentBody");
            candidate += htmlOf(content ? content : rubric);
        } else {
            notes_.push_back(std::string("a rubric block for ") + rubric.attribute("view").as_string("no one")
                             + " is left out");
        }
        rubric.parent().remove_child(rubric);
    }
    instructions_ = candidate.empty() ? std::nullopt : std::optional(wrapped(candidate));
}

void BodyHtml::takeOutFeedback(pugi::xml_node container)
{
    std::vector<pugi::xml_node> feedback;
    forEachElement(container, [&](pugi::xml_node node) {
        if (isOneOf(node.name(), kFeedback))
            feedback.push_back(node);
    });
    // Feedback inside feedback goes with its parent, so only outermost elements are removed.
    for (auto node : feedback) {
        bool nested = false;
        for (auto parent = node.parent(); parent && parent != container; parent = parent.parent())
            nested = nested || isOneOf(parent.name(), kFeedback);
        if (!nested)
            node.parent().remove_child(node);
    }
    if (!feedback.empty() && !feedbackNoted_) {
        notes_.push_back("feedback is left out");
        feedbackNoted_ = true;
    }
}

std::string BodyHtml::htmlOf(pugi::xml_node container)
{
    takeOutFeedback(container);
    forEachElement(container, [this](pugi::xml_node element) { prepare(element); });
    StringWriter writer;
    for (const auto child : container.children())
        child.print(writer, "", pugi::format_raw);
    return writer.text;
}

// HTML reads "<p/>" as an open paragraph, so only void elements may be written self-closed.
void BodyHtml::prepare(pugi::xml_node element)
{
    const std::string_view name = element.name();
    if (isOneOf(name, kRefusedContent))
        throw ImportRefusal{"content that shows template or outcome values (" + std::string(name) + ")"};
    if (name == "img")
        nameImage(element.attribute("src"));
    if (name == "object")
        nameImage(element.attribute("data"));
    if (isOneOf(name, kVoidElements)) {
        while (element.first_child())
            element.remove_child(element.first_child());
    } else if (!element.first_child()) {
        element.append_child(pugi::node_pcdata);
    }
}

void BodyHtml::nameImage(pugi::xml_attribute reference)
{
    const std::string source = reference.as_string();
    if (isExternal(source))
        return;
    const std::string name = source.substr(source.find_last_of("/\\") + 1);
    if (name.empty() || name == "." || name == "..")
        return;
    const auto same =
        std::find_if(images_.begin(), images_.end(), [&](const ImageReference& image) { return image.name == name; });
    if (same != images_.end() && same->source != source)
        throw ImportRefusal{"two images named " + name + " (" + same->source + ", " + source + ")"};
    if (same == images_.end())
        images_.push_back({source, name});
    reference.set_value(name.c_str());
}

}  // namespace quorin::qti
