#include "host/driver/ItemStart.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace velm::host {
namespace {

std::string initFailure(const SupportObject& support)
{
    const auto& log = support.log();
    const auto error = std::find_if(log.rbegin(), log.rend(), [](const auto& entry) { return entry.level == "error"; });
    if (error == log.rend())
        return "the item failed to initialise";
    return "the item failed to initialise: " + error->text + " (error " + std::to_string(error->number) + " in "
           + error->routine + ")";
}

}  // namespace

void startItem(Session& session, std::string_view itemXml, std::int32_t options)
{
    session.start();
    if (!session.initialize(itemXml, options))
        throw std::runtime_error(initFailure(session.support()));
}

}  // namespace velm::host
