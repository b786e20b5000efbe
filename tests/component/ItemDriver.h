#pragma once

#include "component/clsMultipleChoice.h"
#include "host/driver/InputFiles.h"
#include "host/driver/SupportObject.h"
#include "platform/WindowSystem.h"
#include "vb/ComError.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <tuple>

namespace quorin::test {

using Texts = std::vector<std::string>;

// The parts of an item that tests vary: four choices A to D, at most two answers, and a key
// where "A AND C" weighs 2, "A" 0.5 and "B" -1, unless told otherwise.
struct ItemParts {
    std::string language = "ENU";  // "" leaves the attribute out, as for ResponseType and Min
    std::string responseType = "S";
    int choices = 4;
    std::string max = "2";
    std::string min = "1";
    std::string randomOrder = "false";
    std::string stem = "<html><body>Which of these?</body></html>";
    Texts ids;  // empty: "A", "B", ...
    Texts texts;  // empty: "<html><body>Choice A</body></html>", ...
    std::string answers =
        R"(<Answer Weight="2">A AND C</Answer><Answer Weight="0.5">A</Answer><Answer Weight="-1">B</Answer>)";
    std::string heading = "Question 1";
    std::string extra;  // after the key: a State, exhibits, instructions
    std::string caseCode = "NONE";
};

// The item definition XML with those parts.
inline std::string itemXml(const ItemParts& parts = {})
{
    const auto attribute = [](const char* name, const std::string& value) {
        return value.empty() ? std::string() : std::string(" ") + name + "=\"" + value + "\"";
    };
    std::string xml = "<MultipleChoiceItem" + attribute("Language", parts.language)
                      + attribute("ResponseType", parts.responseType) + " CaseCode=\"" + parts.caseCode
                      + "\"><ItemStem><Heading>" + parts.heading + "</Heading><Text><![CDATA[" + parts.stem
                      + "]]></Text></ItemStem><Choices Max=\"" + parts.max + "\"" + attribute("Min", parts.min)
                      + " RandomOrder=\"" + parts.randomOrder + "\">";
    for (int i = 0; i < parts.choices; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const std::string id = index < parts.ids.size() ? parts.ids[index] : std::string(1, static_cast<char>('A' + i));
        const std::string text =
            index < parts.texts.size() ? parts.texts[index] : "<html><body>Choice " + id + "</body></html>";
        xml += "<Choice AnswerID=\"" + id + "\"><![CDATA[" + text + "]]></Choice>";
    }
    return xml + "</Choices><Answers>" + parts.answers + "</Answers>" + parts.extra + "</MultipleChoiceItem>";
}

// A State element holding one Response per identifier.
inline std::string stateWith(const Texts& responses)
{
    std::string xml;
    for (const auto& response : responses)
        xml += "<Response>" + response + "</Response>";
    return xml.empty() ? "<State><Responses/></State>" : "<State><Responses>" + xml + "</Responses></State>";
}

// A state as the item window leaves it once loaded: with its scroll flag, written when missing.
inline std::string withScrollFlag(const std::string& state)
{
    if (state.find("<ItemAreaScroll>") != std::string::npos)
        return state;
    return state.substr(0, state.size() - 8) + "<ItemAreaScroll>False</ItemAreaScroll></State>";
}

// UTF-16LE bytes of UTF-8 text, as the driver hands text over.
inline vb::ByteArray bytes(const std::string& text)
{
    return vb::bytesFromText(text);
}

// Where a window or control is, as "left,top widthxheight", marked when it does not show.
template <typename Shown>
std::string place(const Shown& shown)
{
    std::ostringstream text;
    text << shown.Left() << ',' << shown.Top() << ' ' << shown.Width() << 'x' << shown.Height();
    return text.str() + (shown.Visible() ? "" : " hidden");
}

// The window system every window of the test lives in.
inline platform::WindowSystem& windows()
{
    return platform::WindowSystem::instance();
}

// The number of the error the call fails with, as the driver sees it; 0 when it returns.
inline std::int32_t failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const vb::ComError& error) {
        return error.number;
    }
    return 0;
}

// What one score call hands back to the driver: the result, the numbers correct, incorrect, not
// attempted and not scored, and the raw score.
using Score = std::tuple<bool, std::int16_t, std::int16_t, std::int16_t, std::int16_t, float>;

// Drives one component as the driver does: a recording support object and a parent window
// handed over at creation, every later call made through velm::DisplayInt.
class ItemDriver {
public:
    // Not yet initialised; the bundled English and German static strings unless others are
    // given, the shared test support folder unless another is, and no resources unless given.
    explicit ItemDriver(const char* statics = velm::host::bundledStaticStrings(),
                        const std::filesystem::path& supportDir = supportFolder(),
                        const std::filesystem::path& resourceDir = {})
        : support(std::make_shared<velm::host::SupportObject>(statics, supportDir, resourceDir))
    {
        display().ExternalSupport(support);
        display().SetParentWnd(parentWindow);
    }
    // Initialised with the item of those parts.
    explicit ItemDriver(const ItemParts& parts, std::int32_t options = 0) : ItemDriver()
    {
        EXPECT_TRUE(init(itemXml(parts), options));
    }
    ~ItemDriver()
    {
        component.reset();
        platform::WindowSystem::instance().destroyWindow(parentWindow);
    }
    ItemDriver(const ItemDriver&) = delete;
    ItemDriver& operator=(const ItemDriver&) = delete;

    velm::DisplayInt& display() const { return *component; }

    // The driver's support folder of every test driver, made when missing as a driver's is.
    static std::filesystem::path supportFolder()
    {
        const auto folder = std::filesystem::temp_directory_path() / "quorin-component-tests";
        std::filesystem::create_directories(folder);
        return folder;
    }

    // InitExternalDisplay with the definition as UTF-16 bytes.
    bool init(const std::string& xml, std::int32_t options = 0)
    {
        const auto definition = bytes(xml);
        return display().InitExternalDisplay(definition, static_cast<std::int32_t>(definition.size()), options);
    }
    // What a driver stores: a buffer sized by GetExternalStateBytes, filled by GetExternalStateArray.
    vb::ByteArray savedState()
    {
        vb::ByteArray buffer(static_cast<std::size_t>(display().GetExternalStateBytes()), 0);
        display().GetExternalStateArray(buffer, static_cast<std::int32_t>(buffer.size()));
        return buffer;
    }
    // The state text as the driver reads it, without the 12 bytes left unwritten.
    std::string state()
    {
        const auto saved = savedState();
        return vb::textFromBytes(vb::ByteArray(saved.begin(), saved.end() - 12));
    }
    // SetExternalStateArray with these bytes.
    void restore(const vb::ByteArray& state)
    {
        display().SetExternalStateArray(state, static_cast<std::int32_t>(state.size()));
    }
    // The response of that type, sized by GetResponseBytes and read by GetResponse.
    std::string response(std::int32_t lRespType)
    {
        bool isAscii = false;
        vb::ByteArray buffer(static_cast<std::size_t>(display().GetResponseBytes(lRespType, isAscii)), 0);
        if (!buffer.empty())
            display().GetResponse(lRespType, buffer, static_cast<std::int32_t>(buffer.size()));
        return vb::textFromBytes(buffer);
    }
    // The answer status and ViewedAll of GetExternalDisplayStatus, which must hand the driver's message back unchanged.
    std::pair<std::int32_t, bool> displayStatus()
    {
        std::int32_t lDispState = -1;
        bool viewedAll = true;
        std::string message = "the driver's own text";
        display().GetExternalDisplayStatus(lDispState, viewedAll, message);
        EXPECT_EQ(message, "the driver's own text");
        return {lDispState, viewedAll};
    }
    std::int32_t status() { return displayStatus().first; }
    // ScoreExternalDisplay, with outputs the driver had set to junk before.
    Score score()
    {
        Score s{false, 9, 9, 9, 9, 9};
        auto& [result, correct, incorrect, notAttempted, notScored, raw] = s;
        result = display().ScoreExternalDisplay(correct, incorrect, notAttempted, notScored, raw);
        return s;
    }
    // RescoreExternalDisplay, or RescoreExternalDisplayQuick when a document is given, with as many
    // response bytes as there are unless told otherwise; outputs set to junk before.
    Score rescore(const vb::ByteArray& response, std::optional<std::int32_t> lRespBytes = {},
                  const vb::ByteArray* document = nullptr)
    {
        Score s{false, 9, 9, 9, 9, 9};
        auto& [result, correct, incorrect, notAttempted, notScored, raw] = s;
        const auto n = lRespBytes.value_or(static_cast<std::int32_t>(response.size()));
        std::int32_t length = 0;
        result = document
                     ? display().RescoreExternalDisplayQuick(response, n, correct, incorrect, notAttempted, notScored,
                                                             raw, *document, length)
                     : display().RescoreExternalDisplay(response, n, correct, incorrect, notAttempted, notScored, raw);
        return s;
    }
    // The error entries of the driver's log, oldest first.
    std::vector<velm::host::SupportObject::LogEntry> errors() const
    {
        auto entries = support->log();
        std::erase_if(entries, [](const auto& entry) { return entry.level != "error"; });
        return entries;
    }
    // The routines of those entries, in order.
    Texts errorRoutines() const
    {
        Texts routines;
        for (const auto& entry : errors())
            routines.push_back(entry.routine);
        return routines;
    }

    std::shared_ptr<velm::host::SupportObject> support;
    std::shared_ptr<clsMultipleChoice> component = clsMultipleChoice::create();
    platform::WindowHandle parentWindow = platform::WindowSystem::instance().createWindow("VelmDriver", "Velm driver");
};

}  // namespace quorin::test
