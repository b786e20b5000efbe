#include "vb/Trap.h"

#include <new>
#include <string>

namespace vb {

ComError currentError()
{
    try {
        throw;
    } catch (const ComError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return ComError::runtime(err::kOutOfMemory);
    } catch (const std::exception& error) {
        return ComError(err::kInvalidProcedureCall, error.what());
    } catch (...) {
        return ComError::runtime(err::kInvalidProcedureCall);
    }
}

void report(ErrorReporter* reporter, std::string_view routine, const ComError& error)
{
    if (!reporter)
        throw error;
    reporter->setRoutine(std::string(routine));
    reporter->activate(error);
}

}  // namespace vb
