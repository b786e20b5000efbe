#pragma once

#include "ItemDriver.h"
#include "platform/EventLoop.h"
#include "platform/ManualClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace quorin::test {

// One component under a driver, on this thread's event loop driven by a manual clock.
class ComponentFixture : public ::testing::Test {
protected:
    explicit ComponentFixture(std::string staticStrings = exampleStaticStrings()) : driver(std::move(staticStrings)) {}
    ~ComponentFixture() override
    {
        driver.release();
        loop.clear();
        loop.setClock(nullptr);
    }

    // The loop of this thread, emptied and put on clock before any component exists.
    static platform::EventLoop& loopOn(std::shared_ptr<platform::ManualClock> clock)
    {
        auto& loop = platform::EventLoop::current();
        loop.clear();
        loop.setClock(std::move(clock));
        return loop;
    }

    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    platform::EventLoop& loop = loopOn(clock);
    ItemDriver driver;
    clsMultipleChoice& component = driver.component();
    velm::host::SupportObject& support = driver.support();
};

}  // namespace quorin::test
