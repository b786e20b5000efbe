#include "component/RescoreResponses.h"

#include "vb/Strings.h"
#include "vb/Trap.h"

#include <span>

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

}  // namespace

bool RescoreResponses::read(const std::string& text, vb::ErrorReporter* errors)
{
    answerCount_ = 0;
    isList_ = false;
    if (text.find("Responses") != std::string::npos) {
        stateText_ = "<State>" + text + "</State>";
        return true;
    }
    if (text.find('\0') != std::string::npos) {
        stateText_ = commaListStateText(text);
        return true;
    }
    if (text.find('<') != std::string::npos) {
        if (!readAnswerList(text, errors))
            return false;
    } else {
        readCommaList(text);
    }
    fillList();
    return true;
}

bool RescoreResponses::readAnswerList(const std::string& text, vb::ErrorReporter* errors)
{
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
    if (answerCount_ == answers_.size())
        answers_.emplace_back();
    auto& kept = answers_[answerCount_++];
    kept.assign(answer);
    if (kept.find('\r') != std::string::npos)
        normaliseLineEnds(kept);
}

void RescoreResponses::fillList()
{
    if (!list_.MoveToRoot()) {
        list_.LoadXml("<State><Responses/></State>");
        list_.MoveToRoot();
    }
    list_.MoveToChild(0);
    list_.SetChildTexts("Response", std::span<const std::string>(answers_.data(), answerCount_));
    isList_ = true;
}

}  // namespace quorin
