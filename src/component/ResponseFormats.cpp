#include "component/ResponseFormats.h"

#include "vb/Strings.h"
#include "vb/Trap.h"
#include "velm/DataIO.h"

#include <string_view>

namespace quorin::ResponseFormats {
namespace {

std::string escapeXmlText(std::string_view text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        default: escaped += c;
        }
    }
    return escaped;
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
        const std::int32_t count = answers.ChildCount();
        for (std::int32_t i = 0; i < count; ++i) {
            responses.AddElement("Responses", "Response");
            responses.SetText(answers.GetChildAttribute(i, "Value").toString());
        }
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
        responses += "<Response>" + escapeXmlText(vb::trim(rest.substr(0, comma))) + "</Response>";
        rest.remove_prefix(comma + 1);
    }
    if (!rest.empty())
        responses += "<Response>" + escapeXmlText(vb::trim(rest)) + "</Response>";
    return responses + "</Responses>";
}

}  // namespace quorin::ResponseFormats
