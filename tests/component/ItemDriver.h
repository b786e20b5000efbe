#pragma once

#include "component/clsMultipleChoice.h"
#include "host/SupportObject.h"
#include "platform/WindowSystem.h"
#include "vb/ComError.h"
#include "vb/Text.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quorin::test {

using Texts = std::vector<std::string>;

// The parts of a four-choice item (A to D, at most two answers) that tests vary.
struct ItemParts {
    std::string language = "ENU";
    std::string responseType = "S";
    std::string min = "1";  // "" leaves the attribute out
    std::string answers = R"(<Answer Weight="2">A AND C</Answer><Answer Weight="0.5">A</Answer>)"
                          R"(<Answer Weight="-1">B</Answer>)";
    std::string state;  // a State element inside the definition, or none
};

// The item definition XML with those parts.
std::string itemXml(const ItemParts& parts = {});
// A State element holding one Response per identifier.
std::string stateWith(const Texts& responses);
// The static strings of the examples folder ("ENU" with font Verdana, then "DEU" with Arial).
std::string exampleStaticStrings();
// UTF-16LE bytes of UTF-8 text, as the driver hands text over.
inline vb::ByteArray bytes(const std::string& text) { return vb::bytesFromText(text); }
// The error the call fails with, as the driver sees it; nothing when it returns.
std::optional<vb::ComError> failureOf(const std::function<void()>& call);

// What one score call hands back to the driver.
struct Score {
    bool result = false;
    std::int16_t correct = 0, incorrect = 0, notAttempted = 0, notScored = 0;
    float raw = 0;
    friend bool operator==(const Score&, const Score&) = default;
};
std::ostream& operator<<(std::ostream& out, const Score& score);

// Drives one component as the driver does: a recording support object and a parent window
// handed over at creation, every later call made through velm::DisplayInt.
class ItemDriver {
public:
    explicit ItemDriver(std::string staticStrings = exampleStaticStrings());
    ~ItemDriver();
    ItemDriver(const ItemDriver&) = delete;
    ItemDriver& operator=(const ItemDriver&) = delete;

    velm::DisplayInt& display() const { return *component; }
    // InitExternalDisplay with the definition as UTF-16 bytes.
    bool init(const std::string& itemXml, std::int32_t options = 0);
    // What a driver stores: a buffer sized by GetExternalStateBytes, filled by GetExternalStateArray.
    vb::ByteArray savedState();
    // The state text as the driver reads it, without the unwritten tail.
    std::string state();
    // SetExternalStateArray with the text as UTF-16 bytes.
    void restore(const std::string& stateText);
    // The response of that type, sized by GetResponseBytes and read by GetResponse.
    std::string response(std::int32_t lRespType);
    // ScoreExternalDisplay, with outputs the driver had set to junk before.
    Score score();
    // RescoreExternalDisplay with these bytes, outputs set to junk before.
    Score rescore(const vb::ByteArray& response);
    // The error entries of the driver's log, oldest first.
    std::vector<velm::host::SupportObject::LogEntry> errors() const;
    // The routines of those entries, in order.
    Texts errorRoutines() const;

    std::shared_ptr<velm::host::SupportObject> support;
    std::shared_ptr<clsMultipleChoice> component;
    platform::WindowHandle parentWindow;
};

}  // namespace quorin::test
