#include "component/ResponseFormats.h"

#include "vb/Strings.h"
#include "vb/Trap.h"
#include "velm/DataIO.h"

#include <string_view>

namespace quorin::ResponseFormats {
namespace {

// One answer of a comma list as a Response element, its blanks trimmed and its markup escaped.
void appendResponse(std::string& responses, std::string_view answer)
{
    responses += "<Response>";
    for (const char c : vb::trimView(answer, " ")) {
        switch (c) {
        case '&': responses += "&amp;"; break;
        case '<': responses += "&lt;"; break;
        case '>': responses += "&gt;"; break;
        default: responses += c;
        }
    }
    responses += "</Response>";
}

}  // namespace

std::string GetShortResponse(const std::string& sXml)
{
    velm::DataIO list;
    list.LoadXml(sXml);
    list.MoveToRoot();
    std::string joined;
    const std::int32_t count = list.ChildCount();
    for (std::int32_t i = 0; i < count; ++i) {
        if (i > 0)
            joined += ", ";
        joined += list.GetChildText(i).toString();
    }
    list.Clear();
    return joined;
}

std::string ConvertResponse(const std::string& sResponsesXml, vb::ErrorReporter* errors)
{
    std::string result;
    vb::trap(errors, "ConvertResponse", [&] {
        velm::DataIO answers;
        velm::DataIO responses;
        answers.LoadXml("<UserAnswers></UserAnswers>");
        responses.LoadXml(sResponsesXml);
        responses.FindElement("Responses");
        const std::int32_t count = responses.ChildCount();
        for (std::int32_t i = 0; i < count; ++i) {
            answers.AddElement("UserAnswers", "Answer");
            answers.SetAttribute("Value", responses.GetChildText(i).toString());
        }
        result = "<Visited><cmdShowQuestion/></Visited><ItemType><MC/></ItemType>" + answers.GetXml();
    });
    return result;
}

std::string ConvertUserAnswers(const std::string& sXml, vb::ErrorReporter* errors)
{
    std::string result;
    vb::trap(errors, "ConvertResponse", [&] {
        velm::DataIO responses;
        velm::DataIO answers;
        responses.LoadXml("<Responses></Responses>");
        answers.LoadXml("<Root>" + sXml + "</Root>");
        answers.setFromRoot(true);
        answers.FindElement("UserAnswers");
        answers.ForEachChild("Value", [&](std::string_view, const char* value) {
            responses.AddElement("Responses", "Response");
            responses.SetText(value ? value : "");
        });
        result = responses.GetXml();
    });
    return result;
}

std::string ConvertKey(const std::string& sKey, vb::ErrorReporter* errors)
{
    std::string result;
    vb::trap(errors, "ConvertKey", [&] {
        velm::DataIO converted;
        velm::DataIO key;
        converted.LoadXml("<Answers></Answers>");
        key.LoadXml(sKey);
        key.FindElement("Answers");
        const std::int32_t count = key.ChildCount();
        for (std::int32_t i = 0; i < count; ++i) {
            converted.AddElement("Answers", "Answer");
            converted.SetAttribute("Expression", key.GetChildText(i).toString());
            converted.SetAttribute("Weight", key.GetChildAttribute(i, "Weight").toString());
        }
        result = converted.GetXml();
    });
    return result;
}

std::string responsesFromRescoreText(const std::string& text, vb::ErrorReporter* errors)
{
    if (text.find("Responses") != std::string::npos)
        return text;
    if (text.find('<') != std::string::npos)
        return ConvertUserAnswers(text, errors);
    std::string responses = "<Responses>";
    std::string_view rest = text;
    for (auto comma = rest.find(','); comma != std::string_view::npos; comma = rest.find(',')) {
        appendResponse(responses, rest.substr(0, comma));
        rest.remove_prefix(comma + 1);
    }
    if (!rest.empty())
        appendResponse(responses, rest);
    return responses + "</Responses>";
}

}  // namespace quorin::ResponseFormats
