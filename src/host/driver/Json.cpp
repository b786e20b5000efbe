#include "host/driver/Json.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace velm::host {

nlohmann::ordered_json numberJson(float value)
{
    if (!std::isfinite(value))
        return nullptr;
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    const double shortest = error == std::errc() ? std::strtod(std::string(buffer, end).c_str(), nullptr) : value;
    if (shortest == std::floor(shortest) && std::fabs(shortest) < 1e15)
        return static_cast<std::int64_t>(shortest);
    return shortest;
}

std::string jsonText(const nlohmann::ordered_json& value)
{
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string stringField(const nlohmann::ordered_json& object, const char* name)
{
    const auto field = object.find(name);
    return field != object.end() && field->is_string() ? field->get<std::string>() : std::string();
}

}  // namespace velm::host
