#pragma once

#include "host/driver/Session.h"

#include <nlohmann/json.hpp>

#include <string>

namespace velm::host {

// The JSON forms of what a session reports, as the subcommands print them.
nlohmann::ordered_json scoreJson(const ScoreResult& score);
// A score with the state text the rescoring left.
nlohmann::ordered_json scoreJsonWithState(const ScoreResult& score, const std::string& state);
nlohmann::ordered_json responseJson(const std::pair<std::int32_t, std::string>& response);
// Every error the driver's log received: number, routine and description.
nlohmann::ordered_json errorsJson(const SupportObject& support);
// The text of every message box the driver was asked to show.
nlohmann::ordered_json messagesJson(const SupportObject& support);

}  // namespace velm::host
