#pragma once

#include "TestItems.h"
#include "component/clsMultipleChoice.h"
#include "host/SupportObject.h"
#include "platform/WindowSystem.h"

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace quorin::test {

// What one score call hands back to the driver.
struct Score {
    bool result = false;
    std::int16_t correct = 0;
    std::int16_t incorrect = 0;
    std::int16_t notAttempted = 0;
    std::int16_t notScored = 0;
    float raw = 0;
    friend bool operator==(const Score&, const Score&) = default;
};
std::ostream& operator<<(std::ostream& out, const Score& score);

// Drives one component as the driver does: its own recording support object and parent window,
// the support and the parent handed over at creation, and every call made through velm::DisplayInt.
class ItemDriver {
public:
    explicit ItemDriver(std::string staticStrings = exampleStaticStrings());
    ~ItemDriver();
    ItemDriver(const ItemDriver&) = delete;
    ItemDriver& operator=(const ItemDriver&) = delete;

    velm::host::SupportObject& support() const { return *support_; }
    clsMultipleChoice& component() const { return *component_; }
    velm::DisplayInt& display() const { return *component_; }
    platform::WindowHandle parentWindow() const { return parentWindow_; }
    // Lets go of the component as the driver's release does.
    void release() { component_.reset(); }

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
    // RescoreExternalDisplay with the text as UTF-16 bytes.
    Score rescore(const std::string& responseText) { return rescoreBytes(bytes(responseText)); }
    // RescoreExternalDisplay with the bytes as they stand.
    Score rescoreBytes(const vb::ByteArray& response);

    // The error entries of the driver's log, oldest first.
    std::vector<velm::host::SupportObject::LogEntry> errors() const;
    // The routines of those entries, in order.
    std::vector<std::string> errorRoutines() const;

private:
    std::shared_ptr<velm::host::SupportObject> support_;
    std::shared_ptr<clsMultipleChoice> component_;
    platform::WindowHandle parentWindow_ = 0;
};

}  // namespace quorin::test
