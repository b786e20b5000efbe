#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <istream>
#include <optional>
#include <string>

namespace velm::host {

// One stored response as read from a rescoring input: the line it starts on, its id when it
// has one, and the response text, or the reason it cannot be scored.
struct ResponseRecord {
    std::size_t line = 0;
    nlohmann::json id;  // null when the record has none
    std::string response;
    std::string error;  // empty when the record is sound
};

// Reads rescoring input one record at a time, holding no more than one record in memory:
// JSON lines ({"id": …, "response": "…"}), or CSV with the header "id,response" (RFC 4180
// quoting, so a quoted field may hold commas, quotes doubled and line breaks).
class ResponseReader {
public:
    enum class Format { JsonLines, Csv };

    // Reads from in, which must outlive the reader.
    ResponseReader(std::istream& in, Format format) : in_(in), format_(format) {}

    // The next record; empty at the end of the input. Blank lines are passed over. A CSV
    // input whose first line is not the header gives one error record and then ends.
    std::optional<ResponseRecord> next();

private:
    bool readLine(std::string& line);
    std::optional<ResponseRecord> nextJson();
    std::optional<ResponseRecord> nextCsv();

    std::istream& in_;
    Format format_;
    std::size_t line_ = 0;
    bool headerRead_ = false;
    bool ended_ = false;
};

}  // namespace velm::host
