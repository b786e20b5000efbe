#pragma once

#include "host/Session.h"

#include <string>

namespace velm::host {

// The JSON forms of what a session reports, as the subcommands print them.
std::string scoreJson(const ScoreResult& score);
// A score with the state text the rescoring left.
std::string scoreJsonWithState(const ScoreResult& score, const std::string& state);
std::string responseJson(const std::pair<std::int32_t, std::string>& response);
// Every error the driver's log received: number, routine and description.
std::string errorsJson(const SupportObject& support);
// The text of every message box the driver was asked to show.
std::string messagesJson(const SupportObject& support);

}  // namespace velm::host
