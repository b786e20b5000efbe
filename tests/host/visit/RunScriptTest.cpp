#include "host/visit/RunScript.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using velm::host::RunAction;
using velm::host::RunScript;
using velm::host::ScriptError;

// The action's line, kind and every field that differs from a fresh action's, as one text.
std::string describe(const RunAction& a)
{
    static const char* const kinds[] = {"click",  "text",   "key",    "keydown",  "select",  "scroll",
                                        "button", "answer", "resize", "show",     "hide",    "status",
                                        "leave",  "return", "wait",   "snapshot", "exhibit", "calculator"};
    std::ostringstream out;
    out << a.line << ' ' << kinds[static_cast<int>(a.kind)];
    const auto field = [&out](bool differs, const char* name, const auto& value) {
        if (differs)
            out << ' ' << name << '=' << value;
    };
    field(!a.letter.empty(), "letter", a.letter);
    field(a.position != -1, "position", a.position);
    field(a.keyCode != 0, "key", a.keyCode);
    field(a.place != "choices", "in", a.place);
    field(a.alt || a.shift || a.ctrl, "held",
          std::string(a.alt ? "a" : "") + (a.shift ? "s" : "") + (a.ctrl ? "c" : ""));
    field(a.exhibit != 0, "exhibit", a.exhibit);
    field(a.scrollTo != 0, "scroll", a.scrollTo);
    field(!a.elementId.empty(), "element", a.elementId);
    field(!a.answerOk, "ok", a.answerOk);
    field(a.rect != velm::host::RunRect{}, "rect",
          std::to_string(a.rect.left) + "," + std::to_string(a.rect.top) + "," + std::to_string(a.rect.width) + ","
              + std::to_string(a.rect.height));
    field(a.waitMs != 0, "wait", a.waitMs);
    return out.str();
}

TEST(RunScript, EveryActionWithItsArgumentPlaceAndModifiers)
{
    // A script line and the action it gives; comments and blank lines give none.
    const std::pair<const char*, const char*> lines[] = {
        {"# a visit", nullptr},
        {"click B", "2 click letter=B"},
        {"click #3   # the fourth position", "3 click position=3"},
        {"text c", "4 text letter=c"},
        {"key #", "5 key key=35"},
        {"key \xC3\xA9", "6 key key=233"},
        {"scroll 1500", "7 scroll scroll=1500"},
        {"scroll end", "8 scroll scroll=-1"},
        {"button btnReset", "9 button element=btnReset"},
        {"answer cancel", "10 answer ok=0"},
        {"", nullptr},
        {"resize 0, 0, 9000, 6000", "12 resize rect=0,0,9000,6000"},
        {"show -10,20,8000,4500", "13 show rect=-10,20,8000,4500"},
        {"hide", "14 hide"},
        {"status", "15 status"},
        {"leave", "16 leave"},
        {"wait 250", "17 wait wait=250"},
        {"snapshot", "18 snapshot"},
        {"return", "19 return"},
        {"key t in=title", "20 key key=116 in=title"},
        {"key # in=choice:#2 shift ctrl", "21 key position=2 key=35 in=choice held=sc"},
        {"keydown 116 in=stem alt", "22 keydown key=116 in=stem held=a"},
        {"select in=choice:b", "23 select letter=b in=choice"},
        {"key x", "24 key key=120"},
        {"exhibit 2", "25 exhibit exhibit=2"},
        {"exhibit exit", "26 exhibit"},
        {"calculator close", "27 calculator"},
    };
    std::string script;
    std::vector<std::string> expected;
    for (const auto& [line, action] : lines) {
        script += std::string(line) + "\n";
        if (action)
            expected.push_back(action);
    }
    const auto parsed = RunScript::parse(script);
    std::vector<std::string> actions;
    for (const auto& action : parsed.actions())
        actions.push_back(describe(action));
    EXPECT_EQ(actions, expected);
    EXPECT_EQ(parsed.actions()[1].source, "click #3   # the fourth position");
}

// Each refusal names the line, the reason and the line's own text (here always the script's last).
TEST(RunScript, ABadLineIsRefusedNamingItsLineAndReason)
{
    const char* const kRect = "a rectangle is L,T,W,H in twips, W and H not negative";
    // script, the line refused, the reason
    const std::tuple<std::string, int, std::string> cases[] = {
        {"click A\njump 4", 2, "unknown action \"jump\""},
        {"Click A", 1, "unknown action \"Click\""},
        {"click", 1, "click needs an argument"},
        {"click #x", 1, "a choice position is #0, #1, ..."},
        {"text #-1", 1, "a choice position is #0, #1, ..."},
        {"click A B", 1, "click takes one argument"},
        {"key ab", 1, "key takes one character"},
        {"key \xFF", 1, "key takes one character"},
        {"scroll down", 1, "scroll takes a position in twips or \"end\""},
        {"scroll -5", 1, "scroll takes a position in twips or \"end\""},
        {"answer yes", 1, "answer takes \"ok\" or \"cancel\""},
        {"hide now", 1, "hide takes no argument"},
        {"wait 3600001", 1, "wait takes milliseconds, 0 to 3600000"},
        {"wait soon", 1, "wait takes milliseconds, 0 to 3600000"},
        {"\n\nresize 0,0,9000", 3, kRect},
        {"show 0,0,-1,6000", 1, kRect},
        {"resize 0,0,9000,-1", 1, kRect},
        {"show 0,0,9000,6000,1", 1, kRect},
        {"resize 0,0,99999999999,6000", 1, kRect},
        {"show a,b,c,d", 1, kRect},
        {"leave\nclick A", 2, "the display was left; only return, answer, wait and snapshot until it returns"},
        {"leave\nleave", 2, "the display was left; only return, answer, wait and snapshot until it returns"},
        {"return", 1, "return needs a leave before it"},
        {"key a in=footer", 1, "unknown place \"footer\""},
        {"key a in=choice:", 1, "unknown place \"choice:\""},
        {"key a meta", 1, "unknown word \"meta\"; after the action come in=PLACE, alt, shift and ctrl"},
        {"select in=stem alt", 1, "select takes only in=PLACE"},
        {"keydown F5 in=stem", 1, "keydown takes a key code, 1 to 32767"},
        {"keydown 0", 1, "keydown takes a key code, 1 to 32767"},
        {"exhibit 0", 1, "exhibit takes a button number, 1 for the first, or \"exit\""},
        {"calculator open", 1, "calculator takes \"close\""},
    };
    for (const auto& [script, line, reason] : cases) {
        const std::string text = script.substr(script.rfind('\n') + 1);
        EXPECT_THAT([&] { RunScript::parse(script); },
                    testing::Throws<ScriptError>(testing::AllOf(
                        testing::Property(&ScriptError::line, line),
                        testing::Property(&ScriptError::what, testing::StrEq("script line " + std::to_string(line)
                                                                             + ": " + reason + ": " + text)))))
            << script;
    }
}

}  // namespace
