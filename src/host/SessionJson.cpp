#include "host/SessionJson.h"

#include "host/Json.h"

namespace velm::host {
namespace {

// The fields of a score, without the braces, for objects that add fields of their own.
std::string scoreFields(const ScoreResult& score)
{
    return "\"result\": " + std::string(score.result ? "true" : "false") + ", \"correct\": "
        + std::to_string(score.correct) + ", \"incorrect\": " + std::to_string(score.incorrect)
        + ", \"notAttempted\": " + std::to_string(score.notAttempted) + ", \"notScored\": "
        + std::to_string(score.notScored) + ", \"raw\": " + jsonNumber(score.raw);
}

}  // namespace

std::string scoreJson(const ScoreResult& score)
{
    return "{" + scoreFields(score) + "}";
}

std::string scoreJsonWithState(const ScoreResult& score, const std::string& state)
{
    return "{" + scoreFields(score) + ", \"state\": " + jsonString(state) + "}";
}

std::string responseJson(const std::pair<std::int32_t, std::string>& response)
{
    return "{\"bytes\": " + std::to_string(response.first) + ", \"text\": " + jsonString(response.second) + "}";
}

std::string errorsJson(const SupportObject& support)
{
    std::string json;
    for (const auto& entry : support.log()) {
        if (entry.level != "error")
            continue;
        json += json.empty() ? "" : ", ";
        json += "{\"number\": " + std::to_string(entry.number) + ", \"routine\": " + jsonString(entry.routine)
            + ", \"description\": " + jsonString(entry.text) + "}";
    }
    return "[" + json + "]";
}

std::string messagesJson(const SupportObject& support)
{
    std::string json;
    for (const auto& message : support.messages())
        json += (json.empty() ? "" : ", ") + jsonString(message.text);
    return "[" + json + "]";
}

}  // namespace velm::host
