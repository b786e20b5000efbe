#include "host/visit/RunScript.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>

namespace velm::host {
namespace {

using Kind = RunAction::Kind;

struct ActionName {
    Kind kind;
    // Whether the action takes one argument (the rest of the line) or none.
    bool takesArgument;
    // Whether the driver must hold a display for it.
    bool needsDisplay;
    // Whether words after the argument say where it happens and which modifier keys are held.
    bool takesPlace = false;
};

const std::map<std::string_view, ActionName>& actionNames()
{
    static const std::map<std::string_view, ActionName> names = {
        {"click", {Kind::Click, true, true}},          {"text", {Kind::Text, true, true}},
        {"key", {Kind::Key, true, true, true}},        {"keydown", {Kind::KeyDown, true, true, true}},
        {"select", {Kind::Select, false, true, true}}, {"scroll", {Kind::Scroll, true, true}},
        {"button", {Kind::Button, true, true}},        {"answer", {Kind::Answer, true, false}},
        {"resize", {Kind::Resize, true, true}},        {"show", {Kind::Show, true, true}},
        {"hide", {Kind::Hide, false, true}},           {"status", {Kind::Status, false, true}},
        {"leave", {Kind::Leave, false, true}},         {"return", {Kind::Return, false, false}},
        {"wait", {Kind::Wait, true, false}},           {"snapshot", {Kind::Snapshot, false, false}},
        {"exhibit", {Kind::Exhibit, true, true}},      {"calculator", {Kind::Calculator, true, true}},
    };
    return names;
}

// The pages a key or a selection can happen on, besides the choices and a choice's text.
constexpr std::string_view kPages[] = {"title", "bottom", "stem", "buttons", "left", "right", "instructions"};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> wordsOf(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        std::size_t end = at;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        if (end > at)
            words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// The words of the line up to its comment; the argument of click, text and key may begin with "#".
std::vector<std::string_view> wordsBeforeComment(std::string_view line)
{
    auto words = wordsOf(line);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const bool hashArgument = i == 1 && (words[0] == "click" || words[0] == "text" || words[0] == "key");
        if (words[i].front() == '#' && !hashArgument) {
            words.resize(i);
            break;
        }
    }
    return words;
}

template <class Number>
std::optional<Number> numberOf(std::string_view text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The code point of text when it is exactly one UTF-8 character; 0 otherwise.
std::uint32_t singleCharacter(std::string_view text)
{
    if (text.empty())
        return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 0;
    if (length == 0 || text.size() != length)
        return 0;
    std::uint32_t code = length == 1 ? lead : length == 2 ? (lead & 0x1F) : (lead & 0x0F);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next >> 6) != 0x2)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    return code;
}

class LineParser {
public:
    LineParser(int line, std::string_view source) : line_(line), source_(source) {}

    [[noreturn]] void fail(const std::string& reason) const { throw ScriptError(line_, reason, source_); }

    RunAction parse(Kind kind, std::string_view argument) const
    {
        RunAction action;
        action.kind = kind;
        action.line = line_;
        action.source = std::string(source_);
        switch (kind) {
        case Kind::Click:
        case Kind::Text: choiceOf(argument, action); break;
        case Kind::Key: action.keyCode = keyOf(argument); break;
        case Kind::KeyDown: action.keyCode = keyCodeOf(argument); break;
        case Kind::Exhibit: action.exhibit = exhibitOf(argument); break;
        case Kind::Calculator:
            if (argument != "close")
                fail("calculator takes \"close\"");
            break;
        case Kind::Scroll: action.scrollTo = scrollOf(argument); break;
        case Kind::Button: action.elementId = std::string(argument); break;
        case Kind::Answer: action.answerOk = answerOf(argument); break;
        case Kind::Resize:
        case Kind::Show: action.rect = rectOf(argument); break;
        case Kind::Wait: action.waitMs = waitOf(argument); break;
        default: break;
        }
        return action;
    }

    // The words after the argument of key, keydown and select: in=PLACE and the modifier keys.
    void placeOf(const std::vector<std::string_view>& words, RunAction& action) const
    {
        for (const auto word : words) {
            const bool modifier = word == "alt" || word == "shift" || word == "ctrl";
            if (modifier && action.kind == Kind::Select)
                fail("select takes only in=PLACE");
            if (word == "alt")
                action.alt = true;
            else if (word == "shift")
                action.shift = true;
            else if (word == "ctrl")
                action.ctrl = true;
            else if (word.starts_with("in="))
                placeNamed(word.substr(3), action);
            else
                fail("unknown word \"" + std::string(word) + "\"; after the action come in=PLACE, alt, shift and ctrl");
        }
    }

private:
    void placeNamed(std::string_view place, RunAction& action) const
    {
        if (place.starts_with("choice:") && place.size() > 7) {
            choiceOf(place.substr(7), action);
            action.place = "choice";
            return;
        }
        if (place != "choices" && std::find(std::begin(kPages), std::end(kPages), place) == std::end(kPages))
            fail("unknown place \"" + std::string(place) + "\"");
        action.place = std::string(place);
    }

    std::int16_t keyCodeOf(std::string_view argument) const
    {
        const auto code = numberOf<std::int16_t>(argument);
        if (!code || *code <= 0)
            fail("keydown takes a key code, 1 to 32767");
        return *code;
    }

    std::int16_t exhibitOf(std::string_view argument) const
    {
        if (argument == "exit")
            return 0;
        const auto index = numberOf<std::int16_t>(argument);
        if (!index || *index <= 0)
            fail("exhibit takes a button number, 1 for the first, or \"exit\"");
        return *index;
    }

    void choiceOf(std::string_view argument, RunAction& action) const
    {
        if (argument.size() > 1 && argument.front() == '#') {
            const auto position = numberOf<std::int32_t>(argument.substr(1));
            if (!position || *position < 0)
                fail("a choice position is #0, #1, ...");
            action.position = *position;
            return;
        }
        if (argument.front() == '#')
            fail("a choice position is #0, #1, ...");
        action.letter = std::string(argument);
    }

    std::int16_t keyOf(std::string_view argument) const
    {
        const auto code = singleCharacter(argument);
        if (code == 0 || code > 0x7FFF)
            fail("key takes one character");
        return static_cast<std::int16_t>(code);
    }

    std::int32_t scrollOf(std::string_view argument) const
    {
        if (argument == "end")
            return -1;
        const auto position = numberOf<std::int32_t>(argument);
        if (!position || *position < 0)
            fail("scroll takes a position in twips or \"end\"");
        return *position;
    }

    bool answerOf(std::string_view argument) const
    {
        if (argument != "ok" && argument != "cancel")
            fail("answer takes \"ok\" or \"cancel\"");
        return argument == "ok";
    }

    RunRect rectOf(std::string_view argument) const
    {
        RunRect rect;
        if (!parseRect(argument, rect))
            fail("a rectangle is L,T,W,H in twips, W and H not negative");
        return rect;
    }

    std::int64_t waitOf(std::string_view argument) const
    {
        const auto ms = numberOf<std::int64_t>(argument);
        if (!ms || *ms < 0 || *ms > RunScript::kMaxWaitMs)
            fail("wait takes milliseconds, 0 to " + std::to_string(RunScript::kMaxWaitMs));
        return *ms;
    }

    int line_;
    std::string_view source_;
};

// The argument of the action: the words after its name, joined by one blank, so that a
// rectangle may be written "0, 0, 9000, 6000".
std::string argumentOf(const std::vector<std::string_view>& words)
{
    std::string argument;
    for (std::size_t i = 1; i < words.size(); ++i)
        argument += (i > 1 ? " " : "") + std::string(words[i]);
    return argument;
}

}  // namespace

bool parseRect(std::string_view text, RunRect& rect)
{
    std::int32_t values[4] = {};
    for (int i = 0; i < 4; ++i) {
        const auto comma = text.find(',');
        if ((comma == std::string_view::npos) != (i == 3))
            return false;
        const auto value = numberOf<std::int32_t>(trimmed(text.substr(0, comma)));
        if (!value)
            return false;
        values[i] = *value;
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    if (values[2] < 0 || values[3] < 0)
        return false;
    rect = {values[0], values[1], values[2], values[3]};
    return true;
}

ScriptError::ScriptError(int line, const std::string& reason, std::string_view source)
    : std::runtime_error("script line " + std::to_string(line) + ": " + reason + ": " + std::string(trimmed(source)))
    , line_(line)
{
}

namespace {

// The action of one script line; empty for a blank or comment line. displayHeld follows leave and return.
std::optional<RunAction> parseAction(int line, std::string_view source, bool& displayHeld)
{
    const LineParser parser(line, source);
    auto words = wordsBeforeComment(source);
    if (words.empty())
        return std::nullopt;
    const auto name = actionNames().find(words[0]);
    if (name == actionNames().end())
        parser.fail("unknown action \"" + std::string(words[0]) + "\"");
    const ActionName& action = name->second;
    std::vector<std::string_view> placeWords;
    if (const std::size_t first = action.takesArgument ? 2 : 1; action.takesPlace && words.size() > first) {
        placeWords.assign(words.begin() + static_cast<std::ptrdiff_t>(first), words.end());
        words.resize(first);
    }
    if (action.takesArgument && words.size() < 2)
        parser.fail(std::string(words[0]) + " needs an argument");
    if (!action.takesArgument && words.size() > 1)
        parser.fail(std::string(words[0]) + " takes no argument");
    const bool rectangle = action.kind == Kind::Resize || action.kind == Kind::Show;
    if (!rectangle && words.size() > 2)
        parser.fail(std::string(words[0]) + " takes one argument");
    if (action.needsDisplay && !displayHeld)
        parser.fail("the display was left; only return, answer, wait and snapshot until it returns");
    if (action.kind == Kind::Return && displayHeld)
        parser.fail("return needs a leave before it");
    if (action.kind == Kind::Leave || action.kind == Kind::Return)
        displayHeld = action.kind == Kind::Return;
    auto parsed = parser.parse(action.kind, argumentOf(words));
    if (action.takesPlace)
        parser.placeOf(placeWords, parsed);
    return parsed;
}

}  // namespace

RunScript RunScript::parse(std::string_view text)
{
    RunScript script;
    bool displayHeld = true;
    int line = 0;
    while (!text.empty() || line == 0) {
        const auto end = text.find('\n');
        const std::string_view source = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (auto action = parseAction(++line, source, displayHeld))
            script.actions_.push_back(std::move(*action));
    }
    return script;
}

std::optional<RunAction> RunScript::parseLine(std::string_view source, bool displayHeld)
{
    return parseAction(1, source, displayHeld);
}

}  // namespace velm::host
