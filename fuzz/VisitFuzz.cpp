#include "FuzzSupport.h"
#include "component/clsMultipleChoice.h"
#include "host/driver/InputFiles.h"
#include "host/visit/Visit.h"
#include "platform/ComponentRegistry.h"
#include "platform/EventLoop.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using velm::host::RunAction;
using Kind = RunAction::Kind;

constexpr std::size_t kMaxActions = 48;

// Identifiers that contain one another, so that a match by substring would show.
constexpr const char* kIdentifiers[] = {"A", "BA", "AB", "B", "C", "CA", "AC", "D"};

// The input read a little at a time; past its end every byte is 0.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    bool empty() const { return at_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

struct RandomItem {
    std::string xml;
    int choices = 0;
    int max = 0;
};

std::string textOf(Bytes& bytes, const std::string& words)
{
    switch (bytes.next() % 4) {
    case 0: return words;  // not HTML: the browser stays empty
    case 1: return "<HTML><body>" + words + "</body></HTML>";  // upper case is not HTML either
    default: return "<html><body><p>" + words + "</p></body></html>";
    }
}

RandomItem randomItem(Bytes& bytes)
{
    RandomItem item;
    item.choices = 1 + bytes.next() % 8;
    item.max = 1 + bytes.next() % 4;
    const bool randomOrder = bytes.next() % 2 == 1;
    std::vector<std::string> identifiers(std::begin(kIdentifiers), std::end(kIdentifiers));
    std::rotate(identifiers.begin(), identifiers.begin() + bytes.next() % identifiers.size(), identifiers.end());
    item.xml = "<MultipleChoiceItem Language=\"ENU\"><ItemStem><Heading>Fuzz</Heading><Text><![CDATA["
               + textOf(bytes, "Which of these?") + "]]></Text></ItemStem><ActiveExhibits/><Choices Max=\""
               + std::to_string(item.max) + "\" RandomOrder=\"" + (randomOrder ? "true" : "false") + "\">";
    for (int c = 0; c < item.choices; ++c)
        item.xml += "<Choice AnswerID=\"" + identifiers[static_cast<std::size_t>(c)] + "\"><![CDATA["
                    + textOf(bytes, "choice " + std::to_string(c)) + "]]></Choice>";
    item.xml += "</Choices><Answers><Answer Weight=\"1\">A AND ONLY</Answer></Answers></MultipleChoiceItem>";
    return item;
}

RunAction nextAction(Bytes& bytes, const RandomItem& item, bool displayHeld)
{
    RunAction action;
    const std::uint8_t choice = bytes.next();
    // One position past the last, to try a choice that is not there.
    const auto position = static_cast<std::int32_t>(bytes.next() % (item.choices + 1));
    switch (choice % 7) {
    case 0:
        action.kind = Kind::Click;
        action.position = position;
        break;
    case 1:
        action.kind = Kind::Text;
        action.position = position;
        break;
    case 2:
        action.kind = Kind::Key;
        action.keyCode = static_cast<std::int16_t>((choice & 0x10 ? 'a' : 'A') + position);
        break;
    case 3:
        action.kind = Kind::Button;
        action.elementId = "btnReset";
        break;
    case 4:
        action.kind = Kind::Answer;
        action.answerOk = (choice & 0x10) != 0;
        break;
    case 5: action.kind = displayHeld ? Kind::Leave : Kind::Return; break;
    default:
        action.kind = Kind::Scroll;
        action.scrollTo = choice & 0x10 ? -1 : position * 100;
        break;
    }
    return action;
}

std::vector<std::string> storedResponses(const std::string& stateText)
{
    pugi::xml_document state;
    if (!state.load_string(stateText.c_str()))
        __builtin_trap();
    std::vector<std::string> responses;
    for (const auto response : state.child("State").child("Responses").children("Response"))
        responses.emplace_back(response.text().get());
    return responses;
}

// The screen and the stored state agree: each checked control has exactly one Response with
// its tag, every Response belongs to a checked control, and there are no more than the item allows.
void checkScreenAgreesWithState(velm::host::Visit& visit, const RandomItem& item)
{
    if (!visit.hasDisplay())
        return;
    const auto window = visit.window();
    const auto responses = storedResponses(visit.session().stateText());
    std::vector<std::string> checked;
    for (const auto* control : window.answerControls()) {
        if (velm::host::WindowView::isChecked(*control))
            checked.push_back(control->Tag());
    }
    for (const auto& tag : checked) {
        if (std::count(responses.begin(), responses.end(), tag) != 1)
            __builtin_trap();
    }
    for (const auto& response : responses) {
        if (std::find(checked.begin(), checked.end(), response) == checked.end())
            __builtin_trap();
    }
    const auto allowed = static_cast<std::size_t>(window.kind() == "option" ? 1 : item.max);
    if (responses.size() > allowed)
        __builtin_trap();
}

velm::host::SessionSettings sessionSettings()
{
    velm::host::SessionSettings settings;
    settings.staticStrings = velm::host::bundledStaticStrings();
    settings.supportDir = fuzzSupportDir();
    return settings;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    platform::ComponentRegistry::instance().registerFactory(std::string(velm::host::Session::kMultipleChoiceProgId),
                                                            [] { return quorin::clsMultipleChoice::create(); });
    return 0;
}

// The bytes make an item and a sequence of candidate and driver actions; after each action
// the choices on the screen and the Responses in the State must tell the same story.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Bytes bytes(data, size);
    const RandomItem item = randomItem(bytes);
    {
        velm::host::VisitSettings settings;
        settings.session = sessionSettings();
        settings.itemXml = item.xml;
        velm::host::Visit visit(settings);
        if (!visit.open())
            __builtin_trap();
        checkScreenAgreesWithState(visit, item);
        bool displayHeld = true;
        for (std::size_t i = 0; i < kMaxActions && !bytes.empty(); ++i) {
            const RunAction action = nextAction(bytes, item, displayHeld);
            visit.perform(action);
            if (action.kind == Kind::Leave || action.kind == Kind::Return)
                displayHeld = action.kind == Kind::Return;
            checkScreenAgreesWithState(visit, item);
        }
    }
    platform::EventLoop::current().clear();
    return 0;
}
