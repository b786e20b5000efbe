#include "host/visit/RunScript.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using velm::host::RunAction;
using velm::host::RunRect;
using velm::host::RunScript;
using velm::host::ScriptError;
using Kind = RunAction::Kind;

TEST(RunScript, EveryActionWithItsArgument)
{
    const auto script = RunScript::parse(
        "# a visit\n"
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
    const auto script = RunScript::parse(
        "key t in=title\n"
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

struct BadLine {
    const char* script;
    int line;
    const char* message;
};

class RunScriptBadLine : public ::testing::TestWithParam<BadLine> {};

TEST_P(RunScriptBadLine, NamesTheLineTheReasonAndTheText)
{
    const auto& bad = GetParam();
    try {
        RunScript::parse(bad.script);
        FAIL() << "parsed: " << bad.script;
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.line(), bad.line);
        EXPECT_EQ(std::string(error.what()), bad.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Classes, RunScriptBadLine,
    ::testing::Values(
        BadLine{"click A\njump 4\n", 2, "script line 2: unknown action \"jump\": jump 4"},
        BadLine{"Click A", 1, "script line 1: unknown action \"Click\": Click A"},
        BadLine{"click", 1, "script line 1: click needs an argument: click"},
        BadLine{"click #x", 1, "script line 1: a choice position is #0, #1, ...: click #x"},
        BadLine{"text #-1", 1, "script line 1: a choice position is #0, #1, ...: text #-1"},
        BadLine{"click A B", 1, "script line 1: click takes one argument: click A B"},
        BadLine{"key ab", 1, "script line 1: key takes one character: key ab"},
        BadLine{"key \xFF", 1, "script line 1: key takes one character: key \xFF"},
        BadLine{"scroll down", 1, "script line 1: scroll takes a position in twips or \"end\": scroll down"},
        BadLine{"scroll -5", 1, "script line 1: scroll takes a position in twips or \"end\": scroll -5"},
        BadLine{"answer yes", 1, "script line 1: answer takes \"ok\" or \"cancel\": answer yes"},
        BadLine{"hide now", 1, "script line 1: hide takes no argument: hide now"},
        BadLine{"wait 3600001", 1, "script line 1: wait takes milliseconds, 0 to 3600000: wait 3600001"},
        BadLine{"wait soon", 1, "script line 1: wait takes milliseconds, 0 to 3600000: wait soon"},
        BadLine{"\n\nresize 0,0,9000", 3,
                "script line 3: a rectangle is L,T,W,H in twips, W and H not negative: resize 0,0,9000"},
        BadLine{"show 0,0,-1,6000", 1,
                "script line 1: a rectangle is L,T,W,H in twips, W and H not negative: show 0,0,-1,6000"},
        BadLine{"resize 0,0,9000,-1", 1,
                "script line 1: a rectangle is L,T,W,H in twips, W and H not negative: resize 0,0,9000,-1"},
        BadLine{"show 0,0,9000,6000,1", 1,
                "script line 1: a rectangle is L,T,W,H in twips, W and H not negative: show 0,0,9000,6000,1"},
        BadLine{"resize 0,0,99999999999,6000", 1,
                "script line 1: a rectangle is L,T,W,H in twips, W and H not negative: resize 0,0,99999999999,6000"},
        BadLine{"show a,b,c,d", 1, "script line 1: a rectangle is L,T,W,H in twips, W and H not negative: show a,b,c,d"},
        BadLine{"leave\nclick A", 2,
                "script line 2: the display was left; only return, answer, wait and snapshot until it returns: click A"},
        BadLine{"leave\nleave", 2,
                "script line 2: the display was left; only return, answer, wait and snapshot until it returns: leave"},
        BadLine{"return", 1, "script line 1: return needs a leave before it: return"},
        BadLine{"key a in=footer", 1, "script line 1: unknown place \"footer\": key a in=footer"},
        BadLine{"key a in=choice:", 1, "script line 1: unknown place \"choice:\": key a in=choice:"},
        BadLine{"key a meta", 1,
                "script line 1: unknown word \"meta\"; after the action come in=PLACE, alt, shift and ctrl: key a meta"},
        BadLine{"select in=stem alt", 1, "script line 1: select takes only in=PLACE: select in=stem alt"},
        BadLine{"keydown F5 in=stem", 1, "script line 1: keydown takes a key code, 1 to 32767: keydown F5 in=stem"},
        BadLine{"keydown 0", 1, "script line 1: keydown takes a key code, 1 to 32767: keydown 0"},
        BadLine{"exhibit 0", 1, "script line 1: exhibit takes a button number, 1 for the first, or \"exit\": exhibit 0"},
        BadLine{"calculator open", 1, "script line 1: calculator takes \"close\": calculator open"}));

}  // namespace
