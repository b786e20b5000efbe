#include "support/clsErrorDisplay.h"

#include "support/ItemParent.h"
#include "support/modFormFunctions.h"
#include "vb/ComError.h"
#include "velm/ParentInt.h"

namespace quorin {
namespace {

constexpr std::int32_t kCriticalStop = 16;

// A run-time fault carries no source of its own; the runtime names the component.
std::string sourceOf(const vb::ComError& error)
{
    return error.source.empty() ? std::string(kComponentName) : error.source;
}

}  // namespace

std::string clsErrorDisplay::messageText(const vb::ComError& error, const std::string& routine)
{
    return "Error: Description - " + error.description + ".  Number - " + std::to_string(error.number) + "  Source - "
           + sourceOf(error) + "  Routine - " + routine + "  LineNumber - " + std::to_string(error.line);
}

void clsErrorDisplay::activate(const vb::ComError& error)
{
    const auto parent = parentClass_.lock();
    if (!parent)
        vb::raise(vb::err::kObjectNotSet);
    parent->support().LogError(error.number, error.description, std::string(kComponentName), "", routine_, error.line);
    modFormFunctions::ShowMsg(*parent, messageText(error, routine_), kCriticalStop);
}

}  // namespace quorin
