#pragma once

#include "host/driver/SupportObject.h"
#include "platform/WindowSystem.h"
#include "velm/DisplayInt.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace velm::host {

// What a session needs from its driver: static strings, folders and the component's server.
struct SessionSettings {
    std::string staticStrings;
    std::filesystem::path supportDir;
    std::filesystem::path resourceDir;
    // Where the case files items name are found, besides the resources; none when empty.
    std::filesystem::path caseDir;
    // The in-process server of the component; empty for the one beside this program.
    std::filesystem::path pluginPath;
};

// The four counts and the raw score of one scoring call.
struct ScoreResult {
    bool result = false;
    std::int16_t correct = 0;
    std::int16_t incorrect = 0;
    std::int16_t notAttempted = 0;
    std::int16_t notScored = 0;
    float raw = 0;
};

// The score range of the item.
struct ScoreInfo {
    bool result = false;
    std::int16_t items = 0;
    float max = 0;
    float min = 0;
};

// What GetExternalDisplayStatus hands back.
struct DisplayStatus {
    std::int32_t state = 0;
    bool viewedAll = false;
    std::string message;
};

// The text of stored state bytes, without the tail the display leaves unwritten.
std::string stateTextOf(const ByteArray& bytes);

// One item display driven as the driver drives it: created by programmatic name, given the
// support object and a window of the driver's, initialised, then used through DisplayInt.
class Session {
public:
    static constexpr std::string_view kMultipleChoiceProgId = "QuorinMultipleChoice.clsMultipleChoice";
    // The case study an item names is created by this name.
    static constexpr std::string_view kCaseStudyProgId = "QuorinCaseStudy.clsCaseStudy";

    explicit Session(SessionSettings settings);
    // Frees the display if the session did not, and destroys the driver's window.
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Creates the display (registering the component's server when the name is unknown) and
    // hands it the support object and the driver's window.
    void start(std::string_view progId = kMultipleChoiceProgId);
    // Initialises the display with the item definition (UTF-8 text) and option bits.
    bool initialize(std::string_view itemXml, std::int32_t options = 0);
    // Delivers what the event loop has pending.
    void runUntilIdle();

    // The state bytes a driver stores: a buffer sized by GetExternalStateBytes, filled by GetExternalStateArray.
    ByteArray saveState();
    // The state text of saveState, without the unwritten tail.
    std::string stateText();
    // Hands stored state bytes back.
    void restoreState(const ByteArray& bytes);
    // The response of a type as a driver reads it: its byte count and its text.
    std::pair<std::int32_t, std::string> response(std::int32_t type);
    // The answer status the driver receives.
    std::int32_t status();
    // The whole answer of GetExternalDisplayStatus (reading ViewedAll may tell the candidate what is missing).
    DisplayStatus displayStatus();
    ScoreResult score();
    // Rescores a stored response text, sent as responseBytes makes it.
    ScoreResult rescore(std::string_view responseText);
    ScoreInfo scoreInfo();
    bool free();
    // Releases the display (after free), so that start creates a new one for the same driver.
    void release();
    // Whether a display was started and not released.
    bool hasDisplay() const { return display_ != nullptr; }

    DisplayInt& display() const;
    SupportObject& support() const { return *support_; }
    platform::WindowHandle driverWindow() const { return driverWindow_; }

private:
    std::filesystem::path pluginPath() const;

    SessionSettings settings_;
    std::shared_ptr<SupportObject> support_;
    std::shared_ptr<DisplayInt> display_;
    platform::WindowHandle driverWindow_ = 0;
    bool freed_ = false;
};

}  // namespace velm::host
