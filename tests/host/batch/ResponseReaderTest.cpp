#include "host/batch/ResponseReader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using velm::host::ResponseReader;
using Format = ResponseReader::Format;
using json = nlohmann::json;

// A record as the test writes it: line, id (null for none), response, error.
using Record = std::tuple<std::size_t, json, std::string, std::string>;

void expectRecords(const std::string& input, Format format, const std::vector<Record>& expected)
{
    std::istringstream in(input);
    ResponseReader reader(in, format);
    std::vector<Record> records;
    while (auto record = reader.next())
        records.emplace_back(record->line, record->id, record->response, record->error);
    EXPECT_EQ(records, expected) << input;
}

TEST(ResponseReader, JsonLinesGiveEachResponseOrTheReasonItHasNone)
{
    expectRecords("{\"id\": 7, \"response\": \"A, C\"}\r\n"
                  "\n"
                  "{\"id\": \"s-2\", \"response\": \"<Responses/>\", \"extra\": true}\n"
                  "not json\n"
                  "[1, 2]\n"
                  "{\"id\": 9}\n"
                  "{\"response\": 5}\n"
                  "{\"response\": \"B\"}",
                  Format::JsonLines,
                  {{1, 7, "A, C", ""},
                   {3, "s-2", "<Responses/>", ""},
                   {4, nullptr, "", "not a JSON object"},
                   {5, nullptr, "", "not a JSON object"},
                   {6, 9, "", "no response text"},
                   {7, nullptr, "", "no response text"},
                   {8, nullptr, "B", ""}});
}

TEST(ResponseReader, CsvFollowsTheQuotingRulesAndNumbersRecordsByTheirFirstLine)
{
    expectRecords("id,response\r\n"
                  "1,\"A, C\"\n"
                  "\"two \"\"quoted\"\"\",B\n"
                  "3,\"<Responses>\n<Response>A</Response></Responses>\"\n"
                  "4\n"
                  "5,,\n"
                  "6,\n",
                  Format::Csv,
                  {{2, "1", "A, C", ""},
                   {3, "two \"quoted\"", "B", ""},
                   {4, "3", "<Responses>\n<Response>A</Response></Responses>", ""},
                   {6, "4", "", "a record has two fields, id and response"},
                   {7, "5", "", "a record has two fields, id and response"},
                   {8, "6", "", ""}});
}

TEST(ResponseReader, ACsvWithoutItsHeaderOrWithAnOpenQuoteEnds)
{
    expectRecords("response,id\n1,A\n", Format::Csv,
                  {{1, nullptr, "", "the first line is not the header id,response"}});
    expectRecords("id,response\n1,\"A\n2,B\n", Format::Csv, {{2, nullptr, "", "a quoted field is not closed"}});
    expectRecords("", Format::Csv, {});
}

// A hostile record is answered with an error record and the records after it are read as ever.
TEST(ResponseReader, ARecordBeyondTheLimitsIsAnErrorRecordAndTheNextIsRead)
{
    const std::string huge(ResponseReader::kMostBytes, 'A');
    std::string answers = "A";
    for (std::size_t i = 0; i <= ResponseReader::kMostSeparators; ++i)
        answers += ",A";
    const std::string tooLong = "the record is longer than 1048576 bytes";
    const std::string tooMany = "the response holds more than 4096 commas and tags";
    expectRecords("{\"id\": 1, \"response\": \"" + huge + "\"}\n{\"id\": 2, \"response\": \"" + answers
                      + "\"}\n{\"id\": 3, \"response\": \"B\"}\n",
                  Format::JsonLines, {{1, nullptr, "", tooLong}, {2, 2, "", tooMany}, {3, 3, "B", ""}});
    expectRecords("id,response\n1,\"A\n" + huge + "\"\n2,B\n", Format::Csv, {{2, nullptr, "", tooLong}});
}

}  // namespace
