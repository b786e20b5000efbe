#pragma once

#include "host/batch/ResponseReader.h"
#include "host/driver/Session.h"

#include <cstddef>
#include <ostream>
#include <string>

namespace velm::host {

// What one rescoring record became: the component's counts, or the reason it was not scored.
struct RescoreOutcome {
    ScoreResult score;
    std::string error;
};

// Writes rescoring outcomes in the input's format, one line each, through one buffer reused for
// every line: JSON lines, or in CSV one table whose error rows leave the counts empty and whose
// scored rows leave line and error empty.
class RescoreWriter {
public:
    // Writes to out, which must outlive the writer; CSV starts with its header.
    RescoreWriter(std::ostream& out, ResponseReader::Format format);

    void write(const ResponseRecord& record, const RescoreOutcome& outcome);

private:
    void writeJson(const ResponseRecord& record, const RescoreOutcome& outcome);
    void writeCsv(const ResponseRecord& record, const RescoreOutcome& outcome);
    void appendId(const nlohmann::json& id);
    void appendCount(std::int16_t count);
    void appendRaw(float raw);

    std::ostream& out_;
    ResponseReader::Format format_;
    std::string line_;
    std::size_t written_ = 0;
};

}  // namespace velm::host
