#include "host/batch/ResponseReader.h"

#include <simdjson.h>

#include <algorithm>
#include <vector>

namespace velm::host {
namespace {

using json = nlohmann::json;

const std::string kTooLong = "the record is longer than " + std::to_string(ResponseReader::kMostBytes) + " bytes";
const std::string kTooManySeparators =
    "the response holds more than " + std::to_string(ResponseReader::kMostSeparators) + " commas and tags";

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

// A record as the general JSON reader sees it; slower, but it decides every line the fast one
// leaves open.
ResponseRecord recordFromJson(std::size_t line, const std::string& text)
{
    const json record = json::parse(text, nullptr, false);
    if (record.is_discarded() || !record.is_object())
        return failed(line, nullptr, "not a JSON object");
    const json id = record.value("id", json());
    const auto response = record.find("response");
    if (response == record.end() || !response->is_string())
        return failed(line, id, "no response text");
    return ResponseRecord{line, id, response->get<std::string>(), {}};
}

}  // namespace

// Reads a line in place with simdjson; ids of a kind it would not give back as the general
// reader does (arrays, objects) and lines it refuses go to the general reader.
struct ResponseReader::JsonParser {
    std::optional<ResponseRecord> read(std::size_t line, std::string& text)
    {
        const auto size = text.size();
        text.resize(size + simdjson::SIMDJSON_PADDING);
        simdjson::dom::element document;
        const auto error = parser.parse(text.data(), size, false).get(document);
        text.resize(size);
        simdjson::dom::object object;
        if (error || document.get(object))
            return std::nullopt;
        json id;
        std::optional<std::string_view> response;
        bool responseSeen = false;
        for (const auto field : object) {
            if (field.key == "id") {
                if (!idOf(field.value, id))
                    return std::nullopt;
            } else if (field.key == "response") {
                responseSeen = true;
                response = field.value.is_string() ? std::optional(std::string_view(field.value)) : std::nullopt;
            }
        }
        if (!responseSeen || !response)
            return failed(line, std::move(id), "no response text");
        return ResponseRecord{line, std::move(id), std::string(*response), {}};
    }

    static bool idOf(simdjson::dom::element value, json& id)
    {
        switch (value.type()) {
        case simdjson::dom::element_type::INT64: id = std::int64_t(value); return true;
        case simdjson::dom::element_type::UINT64: id = std::uint64_t(value); return true;
        case simdjson::dom::element_type::DOUBLE: id = double(value); return true;
        case simdjson::dom::element_type::STRING: id = std::string(std::string_view(value)); return true;
        case simdjson::dom::element_type::BOOL: id = bool(value); return true;
        case simdjson::dom::element_type::NULL_VALUE: id = nullptr; return true;
        default: return false;
        }
    }

    simdjson::dom::parser parser;
};

ResponseReader::ResponseReader(std::istream& in, Format format)
    : in_(in)
    , json_(std::make_unique<JsonParser>())
    , format_(format)
{
}

ResponseReader::~ResponseReader() = default;

bool ResponseReader::readLine(std::string& line)
{
    line.clear();
    auto* buffer = in_.rdbuf();
    if (!buffer || !in_.good())
        return false;
    std::char_traits<char>::int_type c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) {
        in_.setstate(std::ios::eofbit | std::ios::failbit);
        return false;
    }
    for (; c != std::char_traits<char>::eof() && c != '\n'; c = buffer->sbumpc()) {
        if (line.size() < kMostBytes)
            line.push_back(static_cast<char>(c));
        else
            tooLong_ = true;
    }
    if (c == std::char_traits<char>::eof())
        in_.setstate(std::ios::eofbit);
    ++line_;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

std::optional<ResponseRecord> ResponseReader::next()
{
    if (ended_)
        return std::nullopt;
    tooLong_ = false;
    auto record = format_ == Format::Csv ? nextCsv() : nextJson();
    if (!record)
        return record;
    return checked(std::move(*record));
}

ResponseRecord ResponseReader::checked(ResponseRecord record) const
{
    if (tooLong_)
        return failed(record.line, nullptr, kTooLong);
    if (!record.error.empty())
        return record;
    const auto separators =
        std::count_if(record.response.begin(), record.response.end(), [](char c) { return c == ',' || c == '<'; });
    if (static_cast<std::size_t>(separators) > kMostSeparators)
        return failed(record.line, std::move(record.id), kTooManySeparators);
    return record;
}

std::optional<ResponseRecord> ResponseReader::nextJson()
{
    do {
        if (!readLine(text_))
            return std::nullopt;
    } while (text_.find_first_not_of(" \t") == std::string::npos);
    if (tooLong_)
        return failed(line_, nullptr, kTooLong);
    if (auto record = json_->read(line_, text_))
        return record;
    return recordFromJson(line_, text_);
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
    std::size_t budget = kMostBytes;
    const auto more = [this, &budget](std::string& next) {
        // A record past the limit cannot be followed further: its cut lines no longer show where it ends.
        if (tooLong_ || !readLine(next))
            return false;
        budget -= std::min(budget, next.size());
        tooLong_ = tooLong_ || budget == 0;
        return !tooLong_;
    };
    const bool closed = !tooLong_ && csvFields(line, more, fields);
    if (tooLong_) {
        ended_ = true;
        return failed(start, nullptr, kTooLong);
    }
    if (!closed) {
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
