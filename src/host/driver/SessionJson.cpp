#include "host/driver/SessionJson.h"

#include "host/driver/Json.h"

namespace velm::host {

using json = nlohmann::ordered_json;

json scoreJson(const ScoreResult& score)
{
    return {{"result", score.result},       {"correct", score.correct},
            {"incorrect", score.incorrect}, {"notAttempted", score.notAttempted},
            {"notScored", score.notScored}, {"raw", numberJson(score.raw)}};
}

json scoreJsonWithState(const ScoreResult& score, const std::string& state)
{
    json result = scoreJson(score);
    result["state"] = state;
    return result;
}

json responseJson(const std::pair<std::int32_t, std::string>& response)
{
    return {{"bytes", response.first}, {"text", response.second}};
}

json errorsJson(const SupportObject& support)
{
    auto errors = json::array();
    for (const auto& entry : support.log()) {
        if (entry.level == "error")
            errors.push_back({{"number", entry.number}, {"routine", entry.routine}, {"description", entry.text}});
    }
    return errors;
}

json messagesJson(const SupportObject& support)
{
    auto messages = json::array();
    for (const auto& message : support.messages())
        messages.push_back(message.text);
    return messages;
}

}  // namespace velm::host
