#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <istream>
#include <memory>
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
// quoting, so a quoted field may hold commas, quotes doubled and line breaks). A record longer
// than kMostBytes, or whose response holds more than kMostSeparators commas and tags (far more
// answers than any item has), is an error record; the reader never holds more than kMostBytes
// of it. JSON lines go on after it; CSV ends there, since a cut record's quoting cannot be followed.
class ResponseReader {
public:
    enum class Format { JsonLines, Csv };

    static constexpr std::size_t kMostBytes = 1 << 20;
    static constexpr std::size_t kMostSeparators = 4096;

    // Reads from in, which must outlive the reader.
    ResponseReader(std::istream& in, Format format);
    ~ResponseReader();

    // The next record; empty at the end of the input. Blank lines are passed over. A CSV
    // input whose first line is not the header gives one error record and then ends.
    std::optional<ResponseRecord> next();

private:
    struct JsonParser;

    // The next line without its line break; false at the end. A line beyond kMostBytes is cut
    // there, the rest passed over, and tooLong_ set.
    bool readLine(std::string& line);
    std::optional<ResponseRecord> nextJson();
    std::optional<ResponseRecord> nextCsv();
    // The record, or an error record when it is too long or holds too many answers.
    ResponseRecord checked(ResponseRecord record) const;

    std::istream& in_;
    std::unique_ptr<JsonParser> json_;
    std::string text_;
    bool tooLong_ = false;
    Format format_;
    std::size_t line_ = 0;
    bool headerRead_ = false;
    bool ended_ = false;
};

}  // namespace velm::host
