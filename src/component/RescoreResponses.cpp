#include "component/RescoreResponses.h"

#include "vb/Strings.h"
#include "vb/Trap.h"

#include <algorithm>
#include <optional>

namespace quorin {
namespace {

// Hands each answer of a comma list to take, its blanks trimmed; an empty last field is no answer.
template <class Take>
void forEachListed(std::string_view text, Take take)
{
    for (auto comma = text.find(','); comma != std::string_view::npos; comma = text.find(',')) {
        take(vb::trimView(text.substr(0, comma), " "));
        text.remove_prefix(comma + 1);
    }
    if (!text.empty())
        take(vb::trimView(text, " "));
}

// One answer of a comma list as a Response element, its markup escaped.
void appendResponse(std::string& responses, std::string_view answer)
{
    responses += "<Response>";
    for (const char c : answer) {
        switch (c) {
        case '&': responses += "&amp;"; break;
        case '<': responses += "&lt;"; break;
        case '>': responses += "&gt;"; break;
        default: responses += c;
        }
    }
    responses += "</Response>";
}

// A comma list as its State text, for the one text no State can hold (it has a NUL), so that it
// fails where the text does.
std::string commaListStateText(std::string_view text)
{
    std::string state = "<State><Responses>";
    forEachListed(text, [&](std::string_view answer) { appendResponse(state, answer); });
    return state + "</Responses></State>";
}

// Line ends as the XML reader leaves them in a text: CR LF and a lone CR become LF.
void normaliseLineEnds(std::string& text)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            text[kept++] = text[i];
        else if (i + 1 >= text.size() || text[i + 1] != '\n')
            text[kept++] = '\n';
    }
    text.resize(kept);
}

// Removes prefix from the front of text when text starts with it.
bool consume(std::string_view& text, std::string_view prefix)
{
    if (prefix.empty() || !text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// The element name text starts with, when it is ASCII letters, digits, '_', '.' and '-' and starts
// with a letter or '_'; empty otherwise.
std::string_view plainName(std::string_view text)
{
    const auto isStart = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (text.empty() || !isStart(text[0]))
        return {};
    std::size_t end = 1;
    while (end < text.size()
           && (isStart(text[end]) || (text[end] >= '0' && text[end] <= '9') || text[end] == '.' || text[end] == '-'))
        ++end;
    return text.substr(0, end);
}

// The text before end, taken from the front of text, when the XML reader keeps it exactly as
// written in an element or a quoted attribute: no markup, entity, quote or control character.
std::optional<std::string_view> plainTextBefore(std::string_view& text, char end)
{
    const auto length = text.find(end);
    if (length == std::string_view::npos)
        return std::nullopt;
    const auto plain = text.substr(0, length);
    const bool isPlain = std::all_of(plain.begin(), plain.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && c != '&' && c != '<' && c != '>' && c != '"';
    });
    if (!isPlain)
        return std::nullopt;
    text.remove_prefix(length);
    return plain;
}

// Whether text is exactly one element of that name, empty or holding only what readItem takes
// item by item from the front of what is left (false when it cannot).
template <class ReadItem>
bool readPlainList(std::string_view text, std::string_view name, ReadItem readItem)
{
    if (!consume(text, "<") || !consume(text, name))
        return false;
    if (consume(text, "/>"))
        return text.empty();
    if (!consume(text, ">"))
        return false;
    while (!text.starts_with("</")) {
        if (!readItem(text))
            return false;
    }
    return consume(text, "</") && consume(text, name) && text == ">";
}

}  // namespace

bool RescoreResponses::read(const std::string& text, vb::ErrorReporter* errors)
{
    answers_.clear();
    isList_ = false;
    if (text.find("Responses") != std::string::npos) {
        isList_ = readPlainResponses(text);
        if (isList_)
            return true;
        answers_.clear();
        stateText_ = "<State>" + text + "</State>";
        return true;
    }
    if (text.find('\0') != std::string::npos) {
        stateText_ = commaListStateText(text);
        return true;
    }
    if (text.find('<') == std::string::npos)
        readCommaList(text);
    else if (!readPlainAnswerList(text) && !readAnswerList(text, errors))
        return false;
    isList_ = true;
    return true;
}

// A Responses element whose Response elements each hold a text that the XML reader takes as it
// stands (no markup, entity or line break): its answers are those texts. Any other text is left to
// the XML reader, so that what it reads and what it refuses stay its own.
bool RescoreResponses::readPlainResponses(std::string_view text)
{
    return readPlainList(text, "Responses", [this](std::string_view& rest) {
        const auto answer = consume(rest, "<Response>") ? plainTextBefore(rest, '<') : std::nullopt;
        if (answer)
            addAnswer(*answer);
        return answer && consume(rest, "</Response>");
    });
}

// An answer list whose answers are written as empty elements, with or without a plain "Value":
// its answers are those values. Any other text is left to the XML reader.
bool RescoreResponses::readPlainAnswerList(std::string_view text)
{
    return readPlainList(text, "UserAnswers", [this](std::string_view& rest) {
        if (!consume(rest, "<") || !consume(rest, plainName(rest)))
            return false;
        if (consume(rest, "/>")) {
            addAnswer("");
            return true;
        }
        const auto answer = consume(rest, " Value=\"") ? plainTextBefore(rest, '"') : std::nullopt;
        if (answer)
            addAnswer(*answer);
        return answer && consume(rest, "\"/>");
    });
}

bool RescoreResponses::readAnswerList(const std::string& text, vb::ErrorReporter* errors)
{
    answers_.clear();
    bool read = false;
    vb::trap(errors, "ConvertResponse", [&] {
        velm::DataIO answers;
        answers.LoadXml("<Root>" + text + "</Root>");
        answers.setFromRoot(true);
        answers.FindElement("UserAnswers");
        answers.ForEachChild("Value", [&](std::string_view, const char* value) { addAnswer(value ? value : ""); });
        read = true;
    });
    return read;
}

void RescoreResponses::readCommaList(std::string_view text)
{
    forEachListed(text, [this](std::string_view answer) { addAnswer(answer); });
}

void RescoreResponses::addAnswer(std::string_view answer)
{
    auto& kept = answers_.emplace_back(answer);
    if (kept.find('\r') != std::string::npos)
        normaliseLineEnds(kept);
}

const velm::DataIO& RescoreResponses::listState(const std::vector<std::string>& answers)
{
    if (!list_.MoveToRoot()) {
        list_.LoadXml("<State><Responses/></State>");
        list_.MoveToRoot();
    }
    list_.MoveToChild(0);
    list_.SetChildTexts("Response", answers);
    return list_;
}

}  // namespace quorin
