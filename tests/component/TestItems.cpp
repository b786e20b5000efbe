#include "TestItems.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quorin::test {
namespace {

std::string attribute(const char* name, const std::string& value)
{
    return value.empty() ? std::string() : std::string(" ") + name + "=\"" + value + "\"";
}

}  // namespace

std::string itemXml(const ItemParts& parts)
{
    std::string xml = "<MultipleChoiceItem" + attribute("Language", parts.language)
        + attribute("ResponseType", parts.responseType) + " CaseCode=\"NONE\">"
        + "<ItemStem><Text><![CDATA[<html><body>Which?</body></html>]]></Text></ItemStem>"
        + "<Choices" + attribute("Max", parts.max) + attribute("Min", parts.min) + " RandomOrder=\"false\">";
    for (const char* id : {"A", "B", "C", "D"})
        xml += std::string("<Choice AnswerID=\"") + id + "\"><![CDATA[<html><body>" + id + "</body></html>]]></Choice>";
    return xml + "</Choices><Answers>" + parts.answers + "</Answers>" + parts.state + "</MultipleChoiceItem>";
}

std::string stateWith(const std::vector<std::string>& responses)
{
    if (responses.empty())
        return "<State><Responses/></State>";
    std::string xml = "<State><Responses>";
    for (const auto& response : responses)
        xml += "<Response>" + response + "</Response>";
    return xml + "</Responses></State>";
}

std::optional<vb::ComError> failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const vb::ComError& error) {
        return error;
    }
    return std::nullopt;
}

std::string exampleStaticStrings()
{
    std::ifstream file(QUORIN_EXAMPLES_DIR "/HDStatic.xml", std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " QUORIN_EXAMPLES_DIR "/HDStatic.xml");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace quorin::test
