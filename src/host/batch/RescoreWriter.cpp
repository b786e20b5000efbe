#include "host/batch/RescoreWriter.h"

#include "host/driver/Json.h"

#include <charconv>
#include <cmath>

namespace velm::host {
namespace {

using json = nlohmann::json;

// Output goes out in blocks of this many records, so a pipe is neither flooded nor starved.
constexpr std::size_t kRecordsPerFlush = 4096;

// Text as one RFC 4180 field: quoted when it holds a comma, a quote or a line break.
void appendCsvField(std::string& line, const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        line += text;
        return;
    }
    line += '"';
    for (const char c : text) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

// Text that JSON writes as it stands between quotes: printable ASCII without quote or backslash.
bool isPlainJsonText(const std::string& text)
{
    for (const char c : text) {
        if (c < 0x20 || c > 0x7E || c == '"' || c == '\\')
            return false;
    }
    return true;
}

template <class Number>
void appendInteger(std::string& line, Number value)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    line.append(buffer, end);
}

}  // namespace

RescoreWriter::RescoreWriter(std::ostream& out, ResponseReader::Format format) : out_(out), format_(format)
{
    if (format_ == ResponseReader::Format::Csv)
        out_ << "id,correct,incorrect,notAttempted,notScored,raw,line,error\n";
}

void RescoreWriter::write(const ResponseRecord& record, const RescoreOutcome& outcome)
{
    line_.clear();
    if (format_ == ResponseReader::Format::Csv)
        writeCsv(record, outcome);
    else
        writeJson(record, outcome);
    out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
    if (++written_ % kRecordsPerFlush == 0)
        out_.flush();
}

void RescoreWriter::writeJson(const ResponseRecord& record, const RescoreOutcome& outcome)
{
    if (!outcome.error.empty()) {
        nlohmann::ordered_json line;
        line["line"] = record.line;
        if (!record.id.is_null())
            line["id"] = record.id;
        line["error"] = outcome.error;
        line_ += jsonText(line);
        line_ += '\n';
        return;
    }
    const auto& score = outcome.score;
    line_ += "{\"id\":";
    appendId(record.id);
    line_ += ",\"correct\":";
    appendCount(score.correct);
    line_ += ",\"incorrect\":";
    appendCount(score.incorrect);
    line_ += ",\"notAttempted\":";
    appendCount(score.notAttempted);
    line_ += ",\"notScored\":";
    appendCount(score.notScored);
    line_ += ",\"raw\":";
    appendRaw(score.raw);
    line_ += "}\n";
}

void RescoreWriter::writeCsv(const ResponseRecord& record, const RescoreOutcome& outcome)
{
    if (!record.id.is_null())
        appendCsvField(line_, record.id.is_string() ? record.id.get_ref<const std::string&>() : record.id.dump());
    if (!outcome.error.empty()) {
        line_ += ",,,,,,";
        appendInteger(line_, record.line);
        line_ += ',';
        appendCsvField(line_, outcome.error);
        line_ += '\n';
        return;
    }
    const auto& score = outcome.score;
    line_ += ',';
    appendCount(score.correct);
    line_ += ',';
    appendCount(score.incorrect);
    line_ += ',';
    appendCount(score.notAttempted);
    line_ += ',';
    appendCount(score.notScored);
    line_ += ',';
    appendRaw(score.raw);
    line_ += ",,\n";
}

// Ids of every kind are written as the general JSON writer writes them; the common ones without it.
void RescoreWriter::appendId(const json& id)
{
    if (id.is_number_integer() && id.is_number_unsigned())
        return appendInteger(line_, id.get<std::uint64_t>());
    if (id.is_number_integer())
        return appendInteger(line_, id.get<std::int64_t>());
    if (id.is_string() && isPlainJsonText(id.get_ref<const std::string&>())) {
        line_ += '"';
        line_ += id.get_ref<const std::string&>();
        line_ += '"';
        return;
    }
    line_ += jsonText(id);
}

void RescoreWriter::appendCount(std::int16_t count)
{
    appendInteger(line_, count);
}

// Whole scores are written without the general writer; numberJson decides the rest.
void RescoreWriter::appendRaw(float raw)
{
    if (std::isfinite(raw) && raw == std::floor(raw) && std::fabs(raw) < 1e7f)
        return appendInteger(line_, static_cast<std::int64_t>(raw));
    line_ += numberJson(raw).dump();
}

}  // namespace velm::host
