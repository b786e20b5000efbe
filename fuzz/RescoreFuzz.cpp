#include "FuzzSupport.h"
#include "component/clsMultipleChoice.h"
#include "host/driver/InputFiles.h"
#include "host/driver/SupportObject.h"
#include "platform/EventLoop.h"
#include "vb/Strings.h"
#include "vb/Text.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// Draws small choices from the fuzzer's bytes; zeros once they run out.
class Draw {
public:
    Draw(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    unsigned below(unsigned bound) { return bound == 0 ? 0 : (at_ < size_ ? data_[at_++] : 0) % bound; }
    bool atEnd() const { return at_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

const char* const kTerms[] = {"A", "B", "C", "D", "a", "c", "Z"};
// Responses add blanks, which a comma list trims and an element keeps unless they are all it holds.
const char* const kResponses[] = {"A", "B", "C", "D", "a", "c", "Z", " ", " B "};

std::string upper(std::string text)
{
    for (auto& c : text)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return text;
}

// A key as a tree, written out as text for the component and evaluated here on its own terms.
struct Key {
    enum class Op { Term, Not, Before, And, Or } op = Op::Term;
    std::string term;
    std::vector<Key> operands;

    static int precedence(Op op) { return op == Op::Or ? 1 : op == Op::And ? 2 : op == Op::Before ? 3 : 4; }

    static Key draw(Draw& draw, int depth)
    {
        Key key;
        const unsigned kind = depth >= 3 ? 0 : draw.below(6);
        if (kind <= 1) {
            key.term = kTerms[draw.below(7)];
        } else if (kind == 2) {
            key.op = Op::Not;
            key.operands.push_back(Key::draw(draw, depth + 1));
        } else if (kind == 3) {
            key.op = Op::Before;
            key.operands = {Key{Op::Term, kTerms[draw.below(7)], {}}, Key{Op::Term, kTerms[draw.below(7)], {}}};
        } else {
            key.op = kind == 4 ? Op::And : Op::Or;
            key.operands = {Key::draw(draw, depth + 1), Key::draw(draw, depth + 1)};
        }
        return key;
    }

    // Parentheses only where the connectives' order needs them, sometimes around a bare term too.
    std::string text(Draw& draw) const
    {
        if (op == Op::Term)
            return draw.below(5) == 0 ? "(" + term + ")" : term;
        const auto operand = [&](const Key& inner) {
            const bool bare = inner.op == Op::Term || inner.op == Op::Not || precedence(inner.op) > precedence(op)
                              || (inner.op == op && op != Op::Before);
            return bare ? inner.text(draw) : "(" + inner.text(draw) + ")";
        };
        if (op == Op::Not)
            return "NOT " + operand(operands[0]);
        const char* word = op == Op::Before ? " BEFORE " : op == Op::And ? (draw.below(2) ? " AND " : " and ") : " OR ";
        return operand(operands[0]) + word + operand(operands[1]);
    }

    bool metBy(const std::vector<std::string>& responses) const
    {
        const auto first = [&](const std::string& wanted) {
            const auto found = std::find(responses.begin(), responses.end(), upper(wanted));
            return found == responses.end() ? std::optional<std::size_t>()
                                            : std::optional<std::size_t>(found - responses.begin());
        };
        switch (op) {
        case Op::Term: return first(term).has_value();
        case Op::Not: return !operands[0].metBy(responses);
        case Op::Before: {
            const auto a = first(operands[0].term);
            const auto b = first(operands[1].term);
            return a && b && *a < *b;
        }
        case Op::And: return operands[0].metBy(responses) && operands[1].metBy(responses);
        case Op::Or: return operands[0].metBy(responses) || operands[1].metBy(responses);
        }
        return false;
    }

    void collectTerms(std::vector<std::string>& terms) const
    {
        if (op == Op::Term)
            terms.push_back(upper(term));
        for (const auto& operand : operands)
            operand.collectTerms(terms);
    }
};

struct Answer {
    Key key;
    bool only;
    const char* weight;  // nullptr: no Weight attribute
    std::string text;

    bool metBy(const std::vector<std::string>& responses) const
    {
        if (!key.metBy(responses))
            return false;
        std::vector<std::string> terms;
        key.collectTerms(terms);
        return !only || std::all_of(responses.begin(), responses.end(), [&](const std::string& response) {
            return std::find(terms.begin(), terms.end(), response) != terms.end();
        });
    }
};

const char* const kWeights[] = {nullptr, "1", "2", "0.5", "-1", "0", "heavy", "3"};

std::optional<double> weightOf(const char* weight)
{
    if (!weight)
        return 1.0;
    if (std::string(weight) == "heavy")
        return std::nullopt;
    return std::stod(weight);
}

struct Counts {
    std::int16_t correct = 0, incorrect = 0, notAttempted = 0, notScored = 0;
    float raw = 0;
    bool result = false;
    bool operator==(const Counts&) const = default;
};

// The five outputs as the scoring rules give them: the largest weight among the keys met.
Counts expected(const std::vector<Answer>& answers, const std::vector<std::string>& responses, const std::string& text)
{
    Counts counts;
    counts.result = true;
    if (text.empty())
        return counts;
    if (responses.empty()) {
        counts.notAttempted = counts.notScored = 1;
        return counts;
    }
    std::vector<std::string> upperResponses;
    for (const auto& response : responses)
        upperResponses.push_back(upper(response));
    std::optional<double> best;
    for (const auto& answer : answers) {
        const auto weight = weightOf(answer.weight);
        if (weight && (!best || *weight > *best) && answer.metBy(upperResponses))
            best = weight;
    }
    counts.raw = static_cast<float>(best.value_or(0));
    (counts.raw > 0 ? counts.correct : counts.incorrect) = 1;
    return counts;
}

// The response in one of the forms a stored response takes: a comma list, a Responses element or
// an answer list. plain: written as drivers write them; otherwise spelled so that only the XML
// reader can read it (a comment, a blank inside an element), which must read the same.
std::string responseText(const std::vector<std::string>& responses, unsigned form, bool plain)
{
    std::string text;
    if (form == 0) {
        for (const auto& response : responses)
            text += (&response == responses.data() ? "" : ", ") + response;
        return text;
    }
    if (form == 1) {
        for (const auto& response : responses)
            text += "<Response>" + response + "</Response>";
        return "<Responses>" + std::string(plain ? "" : "<!---->") + text + "</Responses>";
    }
    for (const auto& response : responses)
        text += response.empty() ? "<V/>" : "<V Value=\"" + response + (plain ? "\"/>" : "\" />");
    return "<UserAnswers>" + text + "</UserAnswers>";
}

std::string savedState(quorin::clsMultipleChoice& component)
{
    vb::ByteArray state(static_cast<std::size_t>(component.GetExternalStateBytes()), 0);
    component.GetExternalStateArray(state, static_cast<std::int32_t>(state.size()));
    return vb::textFromBytes(state);
}

}  // namespace

// Random items with random weighted keys, each asked to rescore many random responses: the five
// outputs must be those the scoring rules give, evaluated here from the keys' own trees. A twin
// item is handed each response spelled for the XML reader and has its State read after each; the
// State of the first, read now and then, must be the twin's.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Draw draw(data, size);
    std::vector<Answer> answers(1 + draw.below(4));
    std::string item =
        "<MultipleChoiceItem ResponseType=\"X\"><Choices Max=\"4\" Min=\"0\">"
        "<Choice AnswerID=\"A\"/><Choice AnswerID=\"B\"/><Choice AnswerID=\"C\"/><Choice AnswerID=\"D\"/>"
        "</Choices><Answers>";
    for (auto& answer : answers) {
        answer.key = Key::draw(draw, 0);
        answer.only = draw.below(3) == 0;
        answer.weight = kWeights[draw.below(8)];
        answer.text = answer.key.text(draw) + (answer.only ? " AND ONLY" : "");
        item += std::string("<Answer") + (answer.weight ? std::string(" Weight=\"") + answer.weight + "\"" : "") + ">"
                + answer.text + "</Answer>";
    }
    item += "</Answers></MultipleChoiceItem>";

    auto support =
        std::make_shared<velm::host::SupportObject>(velm::host::bundledStaticStrings(), fuzzSupportDir(), "");
    const auto itemBytes = vb::bytesFromText(item);
    std::shared_ptr<quorin::clsMultipleChoice> components[2];
    for (auto& component : components) {
        component = quorin::clsMultipleChoice::create();
        component->ExternalSupport(support);
        if (!component->InitExternalDisplay(itemBytes, 0, 0))
            __builtin_trap();
    }
    while (!draw.atEnd()) {
        std::vector<std::string> responses(draw.below(5));
        const unsigned form = draw.below(3);
        for (auto& response : responses) {
            const unsigned pick = draw.below(11);
            response = pick < 9 ? kResponses[pick] : "";
            if (form == 0)
                response = vb::trim(response);
        }
        for (const bool plain : {true, false}) {
            auto& component = *components[plain ? 0 : 1];
            const std::string text = responseText(responses, form, plain);
            const auto bytes = vb::bytesFromText(text);
            Counts counts;
            counts.result =
                component.RescoreExternalDisplay(bytes, static_cast<std::int32_t>(bytes.size()), counts.correct,
                                                 counts.incorrect, counts.notAttempted, counts.notScored, counts.raw);
            if (!(counts == expected(answers, responses, text)))
                __builtin_trap();
        }
        const std::string twinState = savedState(*components[1]);
        if (draw.below(4) == 0 && savedState(*components[0]) != twinState)
            __builtin_trap();
        support->clearRecords();
    }
    for (auto& component : components)
        component->FreeExternalDisplay();
    platform::EventLoop::current().clear();
    return 0;
}
