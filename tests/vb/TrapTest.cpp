#include "vb/Trap.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <vector>

namespace {

class RecordingReporter : public vb::ErrorReporter {
public:
    void setRoutine(std::string routine) override { routine_ = std::move(routine); }
    void activate(const vb::ComError& error) override
    {
        if (failToDeliver)
            throw vb::ComError::runtime(vb::err::kObjectNotSet);
        reports.push_back({routine_, error.number, error.description});
    }

    struct Report {
        std::string routine;
        std::int32_t number;
        std::string description;
    };
    std::vector<Report> reports;
    bool failToDeliver = false;

private:
    std::string routine_;
};

TEST(Trap, ReportsUnderTheRoutineAndKeepsWhatWasAssigned)
{
    RecordingReporter reporter;
    int result = 0;
    const bool completed = vb::trap(&reporter, "GetResponse", [&] {
        result = 5;
        vb::raise(vb::err::kSubscriptOutOfRange);
    });
    EXPECT_FALSE(completed);
    EXPECT_EQ(result, 5);
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].routine, "GetResponse");
    EXPECT_EQ(reporter.reports[0].number, 9);
    EXPECT_EQ(reporter.reports[0].description, "Subscript out of range");
}

TEST(Trap, MapsStandardExceptionsToRuntimeErrors)
{
    RecordingReporter reporter;
    vb::trap(&reporter, "A", [] { throw std::bad_alloc(); });
    vb::trap(&reporter, "B", [] { throw std::runtime_error("boom"); });
    ASSERT_EQ(reporter.reports.size(), 2u);
    EXPECT_EQ(reporter.reports[0].number, vb::err::kOutOfMemory);
    EXPECT_EQ(reporter.reports[1].routine, "B");
    EXPECT_EQ(reporter.reports[1].description, "boom");
}

TEST(Trap, AnUndeliverableReportLeavesTheTrap)
{
    RecordingReporter reporter;
    reporter.failToDeliver = true;
    EXPECT_THROW(vb::trap(&reporter, "A", [] { vb::raise(vb::err::kTypeMismatch); }), vb::ComError);
    EXPECT_THROW(vb::trap(nullptr, "A", [] { vb::raise(vb::err::kTypeMismatch); }), vb::ComError);
}

TEST(Trap, SuccessReportsNothing)
{
    RecordingReporter reporter;
    EXPECT_TRUE(vb::trap(&reporter, "A", [] {}));
    EXPECT_TRUE(reporter.reports.empty());
    EXPECT_FALSE(vb::trapSilently([] { vb::raise(vb::err::kOverflow); }));
}

}  // namespace
