#pragma once

#include <string>

namespace vb {

class ComError;

// What an error trap reports to: the component's error display implements it.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;

    // Names the routine whose failure is about to be reported.
    virtual void setRoutine(std::string routine) = 0;

    // Reports the error; may itself throw when the report cannot be delivered.
    virtual void activate(const ComError& error) = 0;
};

}  // namespace vb
