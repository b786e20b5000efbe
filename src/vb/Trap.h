#pragma once

#include "vb/ComError.h"
#include "vb/ErrorReporter.h"

#include <exception>
#include <string_view>

namespace vb {

// The error in flight inside a catch block, as a ComError: bad_alloc is error 7, any other
// standard exception error 5 with its message.
ComError currentError();

// Reports an error caught by a trap: names the routine and activates the reporter. Without a
// reporter the error itself is rethrown, as it cannot be reported anywhere.
void report(ErrorReporter* reporter, std::string_view routine, const ComError& error);

// Runs body under a local error trap: a failure is reported under routine and the trap returns
// false; what body had assigned before the failure stays. An error that the reporter cannot
// deliver leaves the trap, so the caller fails as the driver's call would.
template <class Body>
bool trap(ErrorReporter* reporter, std::string_view routine, Body&& body)
{
    try {
        body();
        return true;
    } catch (...) {
        report(reporter, routine, currentError());
        return false;
    }
}

// Runs body under a trap that only leaves the routine and reports nothing.
template <class Body>
bool trapSilently(Body&& body) noexcept
{
    try {
        body();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace vb
