#include "host/visit/RunScript.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using velm::host::RunAction;
using velm::host::RunRect;
using velm::host::RunScript;
using velm::host::ScriptError;
using Kind = RunAction::Kind;

TEST(RunScript, EveryActionWithItsArgument)
{
    const auto script = RunScript::parse("# a visit\n"
                                         "click B\n"
                                         "click #3   # the fourth position\n"
                                         "text c\n"
                                         "key #\n"
                                         "key \xC3\xA9\n"
                                         "scroll 1500\n"
                                         "scroll end\n"
                                         "button btnReset\n"
                                         "answer cancel\n"
                                         "\n"
                                         "resize 0, 0, 9000, 6000\n"
                                         "show -10,20,8000,4500\n"
                                         "hide\n"
                                         "status\n"
                                         "leave\n"
                                         "wait 250\n"
                                         "snapshot\n"
                                         "return\n");
    const auto& actions = script.actions();
    ASSERT_EQ(actions.size(), 17u);

    EXPECT_EQ(actions[0].kind, Kind::Click);
    EXPECT_EQ(actions[0].letter, "B");
    EXPECT_EQ(actions[0].position, -1);
    EXPECT_EQ(actions[0].line, 2);
    EXPECT_EQ(actions[1].position, 3);
    EXPECT_EQ(actions[1].source, "click #3   # the fourth position");
    EXPECT_EQ(actions[2].kind, Kind::Text);
    EXPECT_EQ(actions[2].letter, "c");
    EXPECT_EQ(actions[3].keyCode, '#');
    EXPECT_EQ(actions[4].keyCode, 0xE9);
    EXPECT_EQ(actions[5].scrollTo, 1500);
    EXPECT_EQ(actions[6].scrollTo, -1);
    EXPECT_EQ(actions[7].elementId, "btnReset");
    EXPECT_FALSE(actions[8].answerOk);
    EXPECT_EQ(actions[9].kind, Kind::Resize);
    EXPECT_EQ(actions[9].rect, (RunRect{0, 0, 9000, 6000}));
    EXPECT_EQ(actions[9].line, 12);
    EXPECT_EQ(actions[10].rect, (RunRect{-10, 20, 8000, 4500}));
    EXPECT_EQ(actions[11].kind, Kind::Hide);
    EXPECT_EQ(actions[12].kind, Kind::Status);
    EXPECT_EQ(actions[13].kind, Kind::Leave);
    EXPECT_EQ(actions[14].waitMs, 250);
    EXPECT_EQ(actions[15].kind, Kind::Snapshot);
    EXPECT_EQ(actions[16].kind, Kind::Return);
}

TEST(RunScript, KeysAndSelectionsSayWhereTheyHappenAndWhichModifiersAreHeld)
{
    const auto script = RunScript::parse("key t in=title\n"
                                         "key # in=choice:#2 shift ctrl\n"
                                         "keydown 116 in=stem alt\n"
                                         "select in=choice:b\n"
                                         "key x\n"
                                         "exhibit 2\n"
                                         "exhibit exit\n"
                                         "calculator close\n");
    const auto& actions = script.actions();
    ASSERT_EQ(actions.size(), 8u);
    EXPECT_EQ(actions[0].place, "title");
    EXPECT_EQ(actions[0].keyCode, 't');
    EXPECT_FALSE(actions[0].alt || actions[0].shift || actions[0].ctrl);
    EXPECT_EQ(actions[1].place, "choice");
    EXPECT_EQ(actions[1].position, 2);
    EXPECT_EQ(actions[1].keyCode, '#');
    EXPECT_TRUE(actions[1].shift && actions[1].ctrl && !actions[1].alt);
    EXPECT_EQ(actions[2].kind, Kind::KeyDown);
    EXPECT_EQ(actions[2].keyCode, 116);
    EXPECT_TRUE(actions[2].alt);
    EXPECT_EQ(actions[3].kind, Kind::Select);
    EXPECT_EQ(actions[3].letter, "b");
    EXPECT_EQ(actions[4].place, "choices");
    EXPECT_EQ(actions[5].exhibit, 2);
    EXPECT_EQ(actions[6].exhibit, 0);
    EXPECT_EQ(actions[7].kind, Kind::Calculator);
}

// Each refusal names the line, the reason and the line's own text.
TEST(RunScript, ABadLineIsRefusedNamingItsLineAndReason)
{
    const char* const kRect = "a rectangle is L,T,W,H in twips, W and H not negative";
    const struct {
        const char* script;
        int line;
        const char* reason;
    } cases[] = {
        {"click A\njump 4\n", 2, "unknown action \"jump\""},
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
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.script);
        std::istringstream lines(bad.script);
        std::string text;
        for (int i = 0; i < bad.line; ++i)
            std::getline(lines, text);
        try {
            RunScript::parse(bad.script);
            ADD_FAILURE() << "parsed";
        } catch (const ScriptError& error) {
            EXPECT_EQ(error.line(), bad.line);
            EXPECT_EQ(std::string(error.what()), "script line " + std::to_string(bad.line) + ": " + bad.reason + ": " + text);
        }
    }
}

}  // namespace
