#include "support/ItemState.h"

#include "support/SavedPlace.h"
#include "velm/DataIO.h"

namespace quorin {

bool ItemState::enterState()
{
    data_.setFromRoot(true);
    if (!data_.FindElement("State"))
        return false;
    data_.setFromRoot(false);
    return true;
}

void ItemState::enterAssumedState()
{
    data_.setFromRoot(true);
    data_.FindElement("State");
    data_.setFromRoot(false);
}

bool ItemState::exists()
{
    data_.setFromRoot(true);
    return data_.FindElement("State");
}

bool ItemState::enterResponses()
{
    return enterState() && data_.FindElement("Responses");
}

void ItemState::ensure()
{
    data_.setFromRoot(true);
    if (!data_.FindElement("State"))
        data_.AddElement("MultipleChoiceItem", "State");
    data_.setFromRoot(false);
    if (!data_.FindElement("Responses"))
        data_.AddElement("State", "Responses");
    data_.setFromRoot(true);
}

std::string ItemState::xml() const
{
    SavedPlace place(data_);
    data_.setFromRoot(true);
    return data_.GetElementXml("State");
}

void ItemState::replace(const velm::DataIO* state)
{
    data_.setFromRoot(true);
    if (state)
        data_.ReplaceCopy("State", "MultipleChoiceItem", *state);
    else
        data_.DeleteElement("State");
    ensure();
}

std::vector<std::string> ItemState::responses()
{
    std::vector<std::string> identifiers;
    if (!enterResponses())
        return identifiers;
    const std::int32_t count = data_.ChildCount();
    for (std::int32_t i = 0; i < count; ++i)
        identifiers.push_back(data_.GetChildText(i).toString());
    return identifiers;
}

std::optional<std::int32_t> ItemState::responseCount()
{
    if (!enterResponses())
        return std::nullopt;
    return data_.ChildCount();
}

void ItemState::addResponse(const std::string& identifier)
{
    const SavedPlace place(data_);
    enterAssumedState();
    data_.FindElement("Responses");
    const std::int32_t count = data_.ChildCount();
    for (std::int32_t i = 0; i < count; ++i) {
        if (data_.GetChildText(i).toString() == identifier)
            return;
    }
    data_.AddElement("Responses", "Response");
    data_.SetText(identifier);
}

// Exact matching: a response that merely contains the identifier ("BA" for "A") belongs to
// another choice and must stay.
void ItemState::removeResponse(const std::string& identifier)
{
    enterAssumedState();
    data_.FindElement("Responses");
    const std::int32_t count = data_.ChildCount();
    for (std::int32_t i = 0; i < count; ++i) {
        if (data_.GetChildText(i).toString() != identifier)
            continue;
        // With the scope below the current element, the response itself is the one deleted.
        data_.MoveToChild(i);
        data_.DeleteElement("Response");
        break;
    }
    data_.setFromRoot(true);
}

void ItemState::removeResponses()
{
    enterAssumedState();
    data_.FindElement("Responses");
    while (data_.DeleteElement("Response")) {
    }
    data_.setFromRoot(true);
}

std::optional<vb::Variant> ItemState::value(const std::string& name)
{
    std::optional<vb::Variant> text;
    if (enterState() && data_.FindElement(name))
        text = data_.GetText();
    data_.setFromRoot(true);
    return text;
}

void ItemState::setValue(const std::string& name, const std::string& text)
{
    enterAssumedState();
    if (!data_.FindElement(name))
        data_.AddElement("State", name);
    data_.SetText(text);
    data_.setFromRoot(true);
}

bool ItemState::writeOrder(const std::vector<std::string>& tags)
{
    if (!enterState() || data_.FindElement("RandomOrder"))
        return true;
    if (!data_.AddElement("State", "RandomOrder"))
        return false;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (data_.AddElement("RandomOrder", "Position") && data_.SetAttribute("Index", std::to_string(i)))
            data_.SetAttribute("Tag", tags[i]);
        data_.MoveToParent();
    }
    data_.setFromRoot(true);
    return true;
}

std::int32_t ItemState::readOrder(const std::function<void(std::int16_t index, const std::string& tag)>& apply)
{
    data_.setFromRoot(true);
    if (!data_.FindElement("RandomOrder"))
        return 0;
    const std::int32_t positions = data_.ChildCount();
    for (std::int32_t i = 0; i < positions; ++i)
        apply(data_.GetChildAttribute(i, "Index").toInt16(), data_.GetChildAttribute(i, "Tag").toString());
    return positions;
}

}  // namespace quorin
