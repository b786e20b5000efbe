#include "host/visit/ViewText.h"

#include "vb/Strings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <sstream>
#include <vector>

namespace velm::host {
namespace {

using json = nlohmann::ordered_json;

constexpr std::array<std::string_view, 23> kBlockTags = {"br", "p",    "div",  "li",         "tr",  "table", "ul", "ol",
                                                         "h1", "h2",   "h3",   "h4",         "h5",  "h6",    "hr", "td",
                                                         "th", "body", "html", "blockquote", "pre", "dt",    "dd"};
constexpr std::array<std::string_view, 3> kHiddenContentTags = {"style", "script", "title"};

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The character an entity body ("amp", "#233", "#xE9") stands for; false for one it does not know.
bool decodeEntity(std::string_view body, std::string& out)
{
    static const std::pair<std::string_view, char> named[] = {{"nbsp", ' '}, {"amp", '&'},  {"lt", '<'},
                                                              {"gt", '>'},   {"quot", '"'}, {"apos", '\''}};
    for (const auto& [name, character] : named) {
        if (body == name) {
            out += character;
            return true;
        }
    }
    if (body.size() < 2 || body[0] != '#')
        return false;
    const bool hex = body[1] == 'x' || body[1] == 'X';
    const auto digits = body.substr(hex ? 2 : 1);
    std::uint32_t code = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return false;
    appendUtf8(out, code);
    return true;
}

// The HTML as text with one '\n' per block boundary; blanks not yet collapsed.
std::string flowText(std::string_view html)
{
    std::string flow;
    const std::string lower = vb::lowerAscii(html);
    std::size_t at = 0;
    while (at < html.size()) {
        const char c = html[at];
        if (c == '<' && lower.compare(at, 4, "<!--") == 0) {
            const auto end = lower.find("-->", at + 4);
            at = end == std::string::npos ? html.size() : end + 3;
            continue;
        }
        const auto close = c == '<' ? html.find('>', at) : std::string_view::npos;
        if (c == '<' && close != std::string_view::npos) {
            std::size_t nameStart = at + 1 + (at + 1 < html.size() && html[at + 1] == '/');
            std::size_t nameEnd = nameStart;
            while (nameEnd < close && !isSpace(html[nameEnd]) && html[nameEnd] != '/')
                ++nameEnd;
            const std::string name = lower.substr(nameStart, nameEnd - nameStart);
            at = close + 1;
            if (std::find(kBlockTags.begin(), kBlockTags.end(), name) != kBlockTags.end())
                flow += '\n';
            if (std::find(kHiddenContentTags.begin(), kHiddenContentTags.end(), name) != kHiddenContentTags.end()
                && html[nameStart - 1] != '/') {
                const auto end = lower.find("</" + name, at);
                const auto endClose = end == std::string::npos ? std::string::npos : lower.find('>', end);
                at = endClose == std::string::npos ? html.size() : endClose + 1;
            }
            continue;
        }
        if (c == '&') {
            const auto semicolon = html.find(';', at);
            if (semicolon != std::string_view::npos && semicolon - at <= 10
                && decodeEntity(html.substr(at + 1, semicolon - at - 1), flow)) {
                at = semicolon + 1;
                continue;
            }
        }
        // Line breaks in the source are blanks; only blocks break lines.
        flow += isSpace(c) ? ' ' : c;
        ++at;
    }
    return flow;
}

std::vector<std::string> plainLinesOf(std::string_view html)
{
    std::vector<std::string> lines;
    std::istringstream flow(flowText(html));
    for (std::string raw; std::getline(flow, raw);) {
        std::string line;
        for (const char c : raw) {
            if (!isSpace(c))
                line += c;
            else if (!line.empty() && line.back() != ' ')
                line += ' ';
        }
        if (!line.empty() && line.back() == ' ')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string result;
    for (const auto& part : parts)
        result += (result.empty() ? "" : std::string(separator)) + part;
    return result;
}

std::string htmlOf(const json& value)
{
    return value.is_string() ? value.get<std::string>() : std::string();
}

std::string numberText(const json& value)
{
    return value.is_null() ? "?" : value.dump();
}

// The button-bar page's buttons as "[Caption] (id)" in page order.
std::vector<std::string> buttonsOf(std::string_view page)
{
    std::vector<std::string> buttons;
    const std::string lower = vb::lowerAscii(page);
    for (auto at = lower.find("<button"); at != std::string::npos; at = lower.find("<button", at + 1)) {
        const auto open = lower.find('>', at);
        const auto close = open == std::string::npos ? std::string::npos : lower.find("</button>", open);
        if (close == std::string::npos)
            break;
        const auto idStart = lower.find("id=\"", at);
        const auto idEnd = idStart < open ? lower.find('"', idStart + 4) : std::string::npos;
        const std::string id =
            idEnd < open ? std::string(page.substr(idStart + 4, idEnd - idStart - 4)) : std::string();
        buttons.push_back("[" + joined(plainLinesOf(page.substr(open + 1, close - open - 1)), " ") + "] (" + id + ")");
    }
    return buttons;
}

std::string answerName(std::int32_t answer)
{
    switch (answer) {
    case 1: return "OK";
    case 2: return "Cancel";
    default: return std::to_string(answer);
    }
}

void writeWindow(std::ostream& out, const json& view)
{
    const auto& window = view["window"];
    if (window["left"].is_null()) {
        out << "window: none (no display is open)\n";
        return;
    }
    out << "window: " << (window["visible"].get<bool>() ? "shown" : "hidden") << " at " << window["left"].dump() << ","
        << window["top"].dump() << " " << window["width"].dump() << "x" << window["height"].dump() << '\n';
}

void writeItem(std::ostream& out, const json& view)
{
    for (const auto& line : plainLinesOf(htmlOf(view["pages"]["brwTitle"])))
        out << line << '\n';
    const auto& stem = view["controls"]["txtItemStem"];
    if (!stem.is_null()) {
        for (const auto& line : plainLinesOf(htmlOf(stem["html"])))
            out << "  " << line << '\n';
    }
    for (const auto& choice : view["choices"]) {
        const bool checked = choice["value"].get<int>() == 1;
        const bool option = choice["kind"] == "option";
        out << "  " << (option ? (checked ? "(o)" : "( )") : (checked ? "[x]" : "[ ]")) << ' '
            << choice["caption"].get<std::string>();
        const auto text =
            choice["text"].is_null() ? std::string() : joined(plainLinesOf(htmlOf(choice["text"]["html"])), " ");
        if (!text.empty())
            out << ' ' << text;
        out << (choice["enabled"].get<bool>() ? "" : "  (disabled)") << '\n';
    }
    const auto buttons = buttonsOf(htmlOf(view["pages"]["brwButtons"]));
    if (!buttons.empty())
        out << "buttons: " << joined(buttons, " ") << '\n';
}

// What stands beside the item: the exhibit window, the instructions, the calculator, the case study.
void writeCompanions(std::ostream& out, const json& view)
{
    const auto value = [&view](const char* field) { return view.contains(field) ? view[field] : json(); };
    if (const auto exhibit = value("exhibitWindow"); !exhibit.is_null())
        out << "exhibit: " << exhibit["progid"].get<std::string>() << ", "
            << (exhibit["visible"].get<bool>() ? "shown" : "hidden")
            << (exhibit["exitVisible"].get<bool>() ? " with Exit" : "") << '\n';
    if (const auto instructions = value("instructions"); !instructions.is_null()) {
        out << "instructions: " << instructions["caption"].get<std::string>() << '\n';
        for (const auto& line : plainLinesOf(htmlOf(instructions["html"])))
            out << "  " << line << '\n';
    }
    if (const auto calculator = value("calculator"); !calculator.is_null() && calculator["running"].get<bool>())
        out << "calculator: running" << (calculator["captured"].get<bool>() ? ", held by the item" : "") << '\n';
    if (const auto caseStudy = value("caseStudy"); !caseStudy.is_null())
        out << "case study: " << (caseStudy["bound"].get<bool>() ? "bound" : "freed") << ", question at "
            << caseStudy["questionRect"].dump() << '\n';
    if (const auto event = value("lastEvent"); !event.is_null())
        out << "last event: " << event["type"].get<std::string>() << " " << event["keyCode"].dump()
            << (event["returnValue"].get<bool>() ? "" : " (blocked)") << '\n';
}

void writeDriverSide(std::ostream& out, const json& view)
{
    out << "messages:" << (view["messages"].empty() ? " none" : "") << '\n';
    for (const auto& message : view["messages"])
        out << "  - " << message["text"].get<std::string>() << " (answered " << answerName(message["answer"].get<int>())
            << ")\n";
    out << "state: " << (view["state"].is_null() ? "none" : view["state"].get<std::string>()) << '\n';
    for (const char* type : {"0", "1"}) {
        const auto& response = view["responses"][type];
        out << "response " << type << ": " << (response.is_null() ? "none" : response.get<std::string>()) << '\n';
    }
    if (view["status"].is_null())
        out << "status: not asked\n";
    else
        out << "status: " << view["status"].dump() << ", viewedAll: " << view["viewedAll"].dump() << '\n';
    const auto& score = view["score"];
    if (score.is_null())
        out << "score: none\n";
    else
        out << "score: correct " << numberText(score["correct"]) << ", incorrect " << numberText(score["incorrect"])
            << ", not attempted " << numberText(score["notAttempted"]) << ", not scored "
            << numberText(score["notScored"]) << ", raw " << numberText(score["raw"]) << '\n';
    for (const auto& error : view["errors"])
        out << "error " << error["number"].dump() << " in " << error["routine"].get<std::string>() << ": "
            << error["description"].get<std::string>() << '\n';
}

}  // namespace

std::string plainTextOf(std::string_view html)
{
    return joined(plainLinesOf(html), "\n");
}

std::string viewText(const json& view, const std::string& heading)
{
    std::ostringstream out;
    out << "== " << heading << " ==\n";
    writeWindow(out, view);
    writeItem(out, view);
    writeCompanions(out, view);
    writeDriverSide(out, view);
    return out.str();
}

}  // namespace velm::host
