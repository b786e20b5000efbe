#pragma once

#include "platform/EventLoop.h"
#include "platform/ManualClock.h"
#include "vb/ComError.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform_testing {

// The ComError that action raises; number 0 and no description when it raises none.
inline vb::ComError errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const vb::ComError& error) {
        return error;
    }
    return vb::ComError(0, "");
}

inline std::int32_t errorNumber(const std::function<void()>& action)
{
    return errorOf(action).number;
}

// Gives each test an empty event loop on a manual clock starting at 0.
class LoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        loop.clear();
        loop.setClock(clock);
    }
    void TearDown() override
    {
        loop.clear();
        loop.setClock(nullptr);
    }

    platform::EventLoop& loop = platform::EventLoop::current();
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
};

// Gives each test an empty folder of its own under the temporary directory.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    // A path relative to the folder lies in it.
    void writeFile(const std::filesystem::path& path, const std::string& text = "x")
    {
        std::ofstream(folder / path, std::ios::binary) << text;
    }

    std::filesystem::path folder = std::filesystem::temp_directory_path() / ("velm-test-" + std::to_string(getpid()));
};

}  // namespace platform_testing
