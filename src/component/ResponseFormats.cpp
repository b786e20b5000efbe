#include "component/ResponseFormats.h"

#include "vb/Trap.h"
#include "velm/DataIO.h"

#include <string_view>

namespace quorin::ResponseFormats {

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

}  // namespace quorin::ResponseFormats
