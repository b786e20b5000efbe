#include "vb/Trap.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Records each report as "routine number description", or throws when told it cannot deliver.
struct RecordingReporter : vb::ErrorReporter {
    void setRoutine(std::string name) override { routine = std::move(name); }
    void activate(const vb::ComError& error) override
    {
        if (failToDeliver)
            throw vb::ComError::runtime(vb::err::kObjectNotSet);
        reports.push_back(routine + " " + std::to_string(error.number) + " " + error.description);
    }

    std::string routine;
    std::vector<std::string> reports;
    bool failToDeliver = false;
};

TEST(Trap, ReportsEachFailureUnderItsRoutineOrLeavesWhenItCannot)
{
    RecordingReporter reporter;
    int result = 0;
    EXPECT_FALSE(vb::trap(&reporter, "GetResponse", [&] {
        result = 5;
        vb::raise(vb::err::kSubscriptOutOfRange);
    }));
    EXPECT_EQ(result, 5);
    EXPECT_FALSE(vb::trap(&reporter, "A", [] { throw std::bad_alloc(); }));
    EXPECT_FALSE(vb::trap(&reporter, "B", [] { throw std::runtime_error("boom"); }));
    EXPECT_TRUE(vb::trap(&reporter, "C", [] {}));
    EXPECT_EQ(reporter.reports,
              (std::vector<std::string>{"GetResponse 9 Subscript out of range", "A 7 Out of memory", "B 5 boom"}));
    EXPECT_FALSE(vb::trapSilently([] { vb::raise(vb::err::kOverflow); }));

    reporter.failToDeliver = true;
    EXPECT_THROW(vb::trap(&reporter, "A", [] { vb::raise(vb::err::kTypeMismatch); }), vb::ComError);
    EXPECT_THROW(vb::trap(nullptr, "A", [] { vb::raise(vb::err::kTypeMismatch); }), vb::ComError);
}

}  // namespace
