#pragma once

#include "vb/Variant.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velm {
class DataIO;
}  // namespace velm

namespace quorin {

// The candidate's work in an item document's State element: the responses, the stored choice
// order and the window's flags. Each operation searches from the root itself and leaves the
// document's current element and scope flag as the window and the component always have,
// since later readers of the same document start from there.
class ItemState {
public:
    explicit ItemState(velm::DataIO& data) : data_(data) {}

    // Whether the item has a State, which becomes the current element.
    bool exists();
    // Creates State and its Responses where they are missing.
    void ensure();
    // The State element's XML (empty when there is none); the document is left where it was.
    std::string xml() const;
    // Puts a copy of state's document element, one State element (or with nothing, no State at
    // all), in place of State under the item element, then makes sure the empty parts exist.
    void replace(const velm::DataIO* state);

    // The chosen identifiers in the stored order; none when State or Responses is missing.
    std::vector<std::string> responses();
    // How many responses are stored; nothing when State or Responses is missing.
    std::optional<std::int32_t> responseCount();
    // Stores identifier unless a response with exactly that text exists; the document is left where it was.
    void addResponse(const std::string& identifier);
    // Removes the first response whose text is exactly identifier.
    void removeResponse(const std::string& identifier);
    // Removes every response.
    void removeResponses();

    // The text of the State child name; nothing when State or the child is missing.
    std::optional<vb::Variant> value(const std::string& name);
    // Sets the text of the State child name, creating the child when missing.
    void setValue(const std::string& name, const std::string& text);

    // Stores the order of the answer controls' tags unless State is missing or an order is
    // stored already; false when the order element could not be added.
    bool writeOrder(const std::vector<std::string>& tags);
    // Hands each stored position's index and tag to apply, in stored order; the number of
    // positions stored (0 without an order).
    std::int32_t readOrder(const std::function<void(std::int16_t index, const std::string& tag)>& apply);

private:
    // Makes State current with the search scope below it; false, and nothing moved, without one.
    bool enterState();
    // enterState for the writers, which the component guarantees a State: the scope is cleared
    // even without one.
    void enterAssumedState();
    // Makes the Responses of State current; false when either is missing.
    bool enterResponses();

    velm::DataIO& data_;
};

}  // namespace quorin
