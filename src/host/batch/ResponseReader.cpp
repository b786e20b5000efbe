#include "host/batch/ResponseReader.h"

#include <vector>

namespace velm::host {
namespace {

using json = nlohmann::json;

ResponseRecord failed(std::size_t line, json id, std::string error)
{
    return {line, std::move(id), {}, std::move(error)};
}

// The fields of one CSV record starting with line; more lines are read while a quoted field
// is open. False when the input ends inside a quoted field.
template <class ReadLine>
bool csvFields(std::string line, ReadLine&& readLine, std::vector<std::string>& fields)
{
    fields.assign(1, {});
    bool quoted = false;
    for (std::size_t i = 0;; ++i) {
        if (i == line.size()) {
            if (!quoted)
                return true;
            fields.back() += '\n';
            if (!readLine(line))
                return false;
            i = static_cast<std::size_t>(-1);
            continue;
        }
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"' && (quoted || fields.back().empty())) {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
}

}  // namespace

bool ResponseReader::readLine(std::string& line)
{
    if (!std::getline(in_, line))
        return false;
    ++line_;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

std::optional<ResponseRecord> ResponseReader::next()
{
    if (ended_)
        return std::nullopt;
    return format_ == Format::Csv ? nextCsv() : nextJson();
}

std::optional<ResponseRecord> ResponseReader::nextJson()
{
    std::string line;
    do {
        if (!readLine(line))
            return std::nullopt;
    } while (line.find_first_not_of(" \t") == std::string::npos);
    const json record = json::parse(line, nullptr, false);
    if (record.is_discarded() || !record.is_object())
        return failed(line_, nullptr, "not a JSON object");
    const json id = record.value("id", json());
    const auto response = record.find("response");
    if (response == record.end() || !response->is_string())
        return failed(line_, id, "no response text");
    return ResponseRecord{line_, id, response->get<std::string>(), {}};
}

std::optional<ResponseRecord> ResponseReader::nextCsv()
{
    std::string line;
    do {
        if (!readLine(line))
            return std::nullopt;
    } while (line.empty());
    const std::size_t start = line_;
    std::vector<std::string> fields;
    if (!csvFields(line, [this](std::string& more) { return readLine(more); }, fields)) {
        ended_ = true;
        return failed(start, nullptr, "a quoted field is not closed");
    }
    if (!headerRead_) {
        headerRead_ = true;
        if (fields != std::vector<std::string>{"id", "response"}) {
            ended_ = true;
            return failed(start, nullptr, "the first line is not the header id,response");
        }
        return nextCsv();
    }
    if (fields.size() != 2)
        return failed(start, fields.empty() ? json() : json(fields[0]), "a record has two fields, id and response");
    return ResponseRecord{start, fields[0], fields[1], {}};
}

}  // namespace velm::host
