#pragma once

#include "platform/ComObject.h"
#include "platform/WindowSystem.h"
#include "velm/DisplayInt.h"
#include "velm/ParentInt.h"

#include <memory>
#include <string>
#include <vector>

namespace quorin::test {

// An item display of another type, as an exhibit: it records every call the driver (here the
// exhibit wrapper) makes, opens a window of its own in the window it is given, and can report
// an error to its support object while it initialises.
class RecordingDisplay final : public platform::ComObject, public velm::DisplayInt {
public:
    explicit RecordingDisplay(std::shared_ptr<std::vector<std::string>> calls) : calls_(std::move(calls)) {}

    std::int32_t hwnd() override { return window_; }
    void ExternalSupport(const std::shared_ptr<velm::ParentInt>& cSupport) override
    {
        support = cSupport;
        record("ExternalSupport");
    }
    void GetExternalDisplayStatus(std::int32_t& lDispState, bool& bViewedAll, std::string&) override
    {
        lDispState = 100;
        bViewedAll = true;
        record("GetExternalDisplayStatus");
    }
    std::int32_t GetExternalStateBytes() override { return 0; }
    void GetExternalStateArray(velm::ByteArray&, std::int32_t) override {}
    bool GetResponse(std::int32_t, velm::ByteArray&, std::int32_t) override { return true; }
    std::int32_t GetResponseBytes(std::int32_t, bool&) override { return 0; }
    bool GetScoreInfo(std::int16_t&, float&, float&) override { return true; }
    bool HideExternalDisplay() override { return record("Hide"); }
    bool FreeExternalDisplay() override
    {
        platform::WindowSystem::instance().destroyWindow(window_);
        support.reset();
        return record("Free");
    }
    bool InitExternalDisplay(const velm::ByteArray& arInit, std::int32_t lInitBytes, std::int32_t lOptions) override
    {
        initBytes = arInit;
        record("Init", lInitBytes, lOptions);
        if (failInit && support)
            support->LogError(1234, "the exhibit broke", "Recorder", "modInit", "LoadExhibit", 17);
        return true;
    }
    bool RescoreExternalDisplay(const velm::ByteArray&, std::int32_t, std::int16_t&, std::int16_t&, std::int16_t&,
                                std::int16_t&, float&) override
    {
        return true;
    }
    bool RescoreExternalDisplayQuick(const velm::ByteArray&, std::int32_t, std::int16_t&, std::int16_t&, std::int16_t&,
                                     std::int16_t&, float&, const velm::ByteArray&, std::int32_t&) override
    {
        return true;
    }
    bool ResizeExternalDisplay(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth,
                               std::int32_t lHeight) override
    {
        return record("Resize", lLeft, lTop, lWidth, lHeight);
    }
    bool ScoreExternalDisplay(std::int16_t&, std::int16_t&, std::int16_t&, std::int16_t&, float&) override
    {
        return true;
    }
    void SetExternalStateArray(const velm::ByteArray&, std::int32_t) override {}
    std::int32_t SetParentWnd(std::int32_t hParentWnd) override
    {
        window_ = platform::WindowSystem::instance().createWindow("RecordingDisplay", "exhibit", hParentWnd);
        record("SetParentWnd");
        return hParentWnd;
    }
    bool ShowExternalDisplay(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight) override
    {
        return record("Show", lLeft, lTop, lWidth, lHeight);
    }

    std::shared_ptr<velm::ParentInt> support;
    velm::ByteArray initBytes;
    bool failInit = false;

private:
    // Writes down the call's name and its numbers, each after a blank.
    template <typename... Numbers>
    bool record(std::string call, Numbers... numbers)
    {
        ((call += " " + std::to_string(numbers)), ...);
        calls_->push_back(std::move(call));
        return true;
    }

    std::shared_ptr<std::vector<std::string>> calls_;
    platform::WindowHandle window_ = 0;
};

}  // namespace quorin::test
