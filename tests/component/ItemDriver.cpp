#include "ItemDriver.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quorin::test {
namespace {

constexpr std::size_t kUnwrittenTail = 12;
constexpr std::int16_t kJunk = 9;

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
        + "<Choices Max=\"2\"" + attribute("Min", parts.min) + " RandomOrder=\"false\">";
    for (const char* id : {"A", "B", "C", "D"})
        xml += std::string("<Choice AnswerID=\"") + id + "\"><![CDATA[<html><body>" + id + "</body></html>]]></Choice>";
    return xml + "</Choices><Answers>" + parts.answers + "</Answers>" + parts.state + "</MultipleChoiceItem>";
}

std::string stateWith(const Texts& responses)
{
    if (responses.empty())
        return "<State><Responses/></State>";
    std::string xml = "<State><Responses>";
    for (const auto& response : responses)
        xml += "<Response>" + response + "</Response>";
    return xml + "</Responses></State>";
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

std::optional<vb::ComError> failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const vb::ComError& error) {
        return error;
    }
    return std::nullopt;
}

std::ostream& operator<<(std::ostream& out, const Score& s)
{
    return out << "{" << s.result << ", " << s.correct << ", " << s.incorrect << ", " << s.notAttempted << ", "
               << s.notScored << ", " << s.raw << "}";
}

ItemDriver::ItemDriver(std::string staticStrings)
    : support(std::make_shared<velm::host::SupportObject>(
          std::move(staticStrings), std::filesystem::temp_directory_path() / "quorin-component-tests", ""))
    , component(clsMultipleChoice::create())
    , parentWindow(platform::WindowSystem::instance().createWindow("VelmDriver", "Velm driver"))
{
    display().ExternalSupport(support);
    display().SetParentWnd(parentWindow);
}

ItemDriver::~ItemDriver()
{
    component.reset();
    platform::WindowSystem::instance().destroyWindow(parentWindow);
}

bool ItemDriver::init(const std::string& itemXml, std::int32_t options)
{
    const auto definition = bytes(itemXml);
    return display().InitExternalDisplay(definition, static_cast<std::int32_t>(definition.size()), options);
}

vb::ByteArray ItemDriver::savedState()
{
    const std::int32_t size = display().GetExternalStateBytes();
    vb::ByteArray buffer(static_cast<std::size_t>(std::max(size, 0)), 0);
    if (!buffer.empty())
        display().GetExternalStateArray(buffer, size);
    return buffer;
}

std::string ItemDriver::state()
{
    auto buffer = savedState();
    buffer.resize(buffer.size() > kUnwrittenTail ? buffer.size() - kUnwrittenTail : 0);
    return vb::textFromBytes(buffer);
}

void ItemDriver::restore(const std::string& stateText)
{
    const auto state = bytes(stateText);
    display().SetExternalStateArray(state, static_cast<std::int32_t>(state.size()));
}

std::string ItemDriver::response(std::int32_t lRespType)
{
    bool isAscii = false;
    const std::int32_t size = display().GetResponseBytes(lRespType, isAscii);
    vb::ByteArray buffer(static_cast<std::size_t>(std::max(size, 0)), 0);
    if (!buffer.empty())
        display().GetResponse(lRespType, buffer, size);
    return vb::textFromBytes(buffer);
}

Score ItemDriver::score()
{
    Score s{false, kJunk, kJunk, kJunk, kJunk, kJunk};
    s.result = display().ScoreExternalDisplay(s.correct, s.incorrect, s.notAttempted, s.notScored, s.raw);
    return s;
}

Score ItemDriver::rescore(const vb::ByteArray& response)
{
    Score s{false, kJunk, kJunk, kJunk, kJunk, kJunk};
    s.result = display().RescoreExternalDisplay(response, static_cast<std::int32_t>(response.size()), s.correct,
                                                s.incorrect, s.notAttempted, s.notScored, s.raw);
    return s;
}

std::vector<velm::host::SupportObject::LogEntry> ItemDriver::errors() const
{
    std::vector<velm::host::SupportObject::LogEntry> entries;
    for (const auto& entry : support->log()) {
        if (entry.level == "error")
            entries.push_back(entry);
    }
    return entries;
}

Texts ItemDriver::errorRoutines() const
{
    Texts routines;
    for (const auto& entry : errors())
        routines.push_back(entry.routine);
    return routines;
}

}  // namespace quorin::test
