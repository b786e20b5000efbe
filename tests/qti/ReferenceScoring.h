#pragma once

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorin::qti::test {

// A second scorer of a standard choice item, read straight from its XML (either spelling) and
// written from the standard's rules alone, to check the import and our scorer against.
class ReferenceScoring {
public:
    explicit ReferenceScoring(const std::string& xml)
    {
        if (!document_.load_string(xml.c_str()))
            throw std::runtime_error("not XML");
        item_ = document_.document_element();
        interaction_ = find(item_, "choiceinteraction");
        responseId_ = attr(interaction_, "responseIdentifier");
        for (auto node : item_.children()) {
            if (is(node, "responsedeclaration") && attr(node, "identifier") == responseId_)
                declaration_ = node;
        }
        multiple_ = attr(declaration_, "cardinality") == "multiple";
        for (auto node : interaction_.children()) {
            if (is(node, "simplechoice"))
                choices_.push_back(attr(node, "identifier"));
        }
    }

    // The standard identifiers of the choices in document order.
    const std::vector<std::string>& choices() const { return choices_; }

    // maxChoices as the item's version reads it (0: no limit).
    int maxChoices() const
    {
        const std::string written = attr(interaction_, "maxChoices");
        if (!written.empty())
            return std::stoi(written);
        return std::string(item_.attribute("xmlns").as_string()).ends_with("v2p1") ? 0 : 1;
    }

    // SCORE for the chosen identifiers.
    double score(const std::vector<std::string>& chosen) const
    {
        Value response;
        if (!chosen.empty()) {
            response.kind = Kind::Ids;
            response.ids = multiple_ ? std::set<std::string>(chosen.begin(), chosen.end()) : std::set<std::string> {chosen.front()};
        }
        Value score = number(0);
        for (auto node : item_.children()) {
            if (is(node, "outcomedeclaration") && attr(node, "identifier") == "SCORE") {
                const auto value = find(node, "value");
                if (value)
                    score = number(std::stod(value.child_value()));
            }
        }
        const auto processing = find(item_, "responseprocessing");
        const std::string uri = attr(processing, "template");
        if (uri.find("map_response") != std::string::npos)
            score = response.kind == Kind::Null ? number(0) : mapResponse(response);
        else if (uri.find("match") != std::string::npos)
            score = number(equal(response, correct()) ? 1 : 0);
        else if (processing)
            runRules(processing, response, score);
        return score.kind == Kind::Number ? score.n : 0;
    }

private:
    enum class Kind { Null, Bool, Number, Ids };
    struct Value {
        Kind kind = Kind::Null;
        bool b = false;
        double n = 0;
        std::set<std::string> ids;
    };

    static Value number(double n) { return {Kind::Number, false, n, {}}; }
    static Value boolean(bool b) { return {Kind::Bool, b, 0, {}}; }

    // Element names compared without the 3.0 prefix, hyphens or letter case.
    static std::string key(const char* name)
    {
        std::string k;
        std::string_view n = name;
        if (n.starts_with("qti-"))
            n.remove_prefix(4);
        for (char c : n) {
            if (c != '-')
                k += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return k;
    }
    static bool is(pugi::xml_node node, const char* name) { return key(node.name()) == name; }
    static std::string attr(pugi::xml_node node, const std::string& camel)
    {
        for (auto a : node.attributes()) {
            if (key(a.name()) == key(camel.c_str()))
                return a.value();
        }
        return {};
    }
    static pugi::xml_node find(pugi::xml_node root, const char* name)
    {
        return root.find_node([name](pugi::xml_node n) { return is(n, name); });
    }

    static bool equal(const Value& a, const Value& b) { return a.kind == Kind::Ids && b.kind == Kind::Ids && a.ids == b.ids; }

    Value correct() const
    {
        Value v;
        for (auto node : find(declaration_, "correctresponse").children()) {
            v.kind = Kind::Ids;
            v.ids.insert(node.child_value());
        }
        return v;
    }

    Value mapResponse(const Value& response) const
    {
        const auto mapping = find(declaration_, "mapping");
        const std::string fallback = attr(mapping, "defaultValue");
        double sum = 0;
        for (const auto& id : response.ids) {
            double value = fallback.empty() ? 0 : std::stod(fallback);
            for (auto entry : mapping.children()) {
                if (attr(entry, "mapKey") == id)
                    value = std::stod(attr(entry, "mappedValue"));
            }
            sum += value;
        }
        if (!attr(mapping, "lowerBound").empty())
            sum = std::max(sum, std::stod(attr(mapping, "lowerBound")));
        if (!attr(mapping, "upperBound").empty())
            sum = std::min(sum, std::stod(attr(mapping, "upperBound")));
        return number(sum);
    }

    Value eval(pugi::xml_node e, const Value& response, const Value& score) const
    {
        std::vector<Value> args;
        for (auto child : e.children()) {
            if (child.type() == pugi::node_element)
                args.push_back(eval(child, response, score));
        }
        const auto anyNull = std::any_of(args.begin(), args.end(), [](const Value& v) { return v.kind == Kind::Null; });
        const std::string name = key(e.name());
        if (name == "variable")
            return attr(e, "identifier") == "SCORE" ? score : response;
        if (name == "correct")
            return correct();
        if (name == "mapresponse")
            return mapResponse(response);
        if (name == "basevalue") {
            const std::string type = attr(e, "baseType");
            if (type == "float" || type == "integer")
                return number(std::stod(e.child_value()));
            if (type == "boolean")
                return boolean(std::string(e.child_value()) == "true");
            return {Kind::Ids, false, 0, {e.child_value()}};
        }
        if (name == "isnull")
            return boolean(args[0].kind == Kind::Null);
        if (name == "not")
            return anyNull ? Value {} : boolean(!args[0].b);
        if (name == "and" || name == "or") {
            const bool decisive = name == "or";
            for (const auto& a : args) {
                if (a.kind == Kind::Bool && a.b == decisive)
                    return boolean(decisive);
            }
            return anyNull ? Value {} : boolean(!decisive);
        }
        if (anyNull)
            return {};
        if (name == "sum") {
            double s = 0;
            for (const auto& a : args)
                s += a.n;
            return number(s);
        }
        if (name == "match")
            return boolean(args[0].ids == args[1].ids);
        if (name == "member" || name == "contains") {
            const auto& container = name == "member" ? args[1].ids : args[0].ids;
            const auto& wanted = name == "member" ? args[0].ids : args[1].ids;
            return boolean(std::all_of(wanted.begin(), wanted.end(), [&](const std::string& id) { return container.count(id) > 0; }));
        }
        throw std::runtime_error("no rule for " + name);
    }

    void runRules(pugi::xml_node parent, const Value& response, Value& score) const
    {
        for (auto rule : parent.children()) {
            if (is(rule, "setoutcomevalue")) {
                score = eval(rule.first_child(), response, score);
            } else if (is(rule, "responsecondition")) {
                for (auto branch : rule.children()) {
                    if (is(branch, "responseelse")) {
                        runRules(branch, response, score);
                        break;
                    }
                    const Value met = eval(branch.first_child(), response, score);
                    if (met.kind == Kind::Bool && met.b) {
                        pugi::xml_document rest;
                        for (auto r = branch.first_child().next_sibling(); r; r = r.next_sibling())
                            rest.append_copy(r);
                        runRules(rest, response, score);
                        break;
                    }
                }
            }
        }
    }

    pugi::xml_document document_;
    pugi::xml_node item_;
    pugi::xml_node interaction_;
    pugi::xml_node declaration_;
    std::string responseId_;
    bool multiple_ = false;
    std::vector<std::string> choices_;
};

}  // namespace quorin::qti::test
