#include "platform/Container.h"

#include "platform/Form.h"
#include "vb/ComError.h"
#include "vb/Strings.h"

#include <algorithm>
#include <utility>

namespace platform {

Container::~Container()
{
    destroyAll();
}

Control& Container::adopt(std::unique_ptr<Control> control, std::string name, std::int16_t index)
{
    if (!control)
        vb::raise(vb::err::kObjectNotSet);
    control->name_ = std::move(name);
    control->index_ = index;
    control->parent_ = this;
    control->form_ = form_;
    if (auto* container = dynamic_cast<Container*>(control.get()))
        container->setContainerForm(form_);
    auto& result = *control;
    controls_.push_back(std::move(control));
    zOrder_.insert(zOrder_.begin(), &result);
    return result;
}

void Container::destroy(Control& control)
{
    const auto it =
        std::find_if(controls_.begin(), controls_.end(), [&](const auto& owned) { return owned.get() == &control; });
    if (it == controls_.end())
        return;
    for (const auto& array : arrays_)
        array->forget(control);
    std::erase(zOrder_, &control);
    // Taken out first, so the container is consistent while the control's destructor runs.
    auto owned = std::move(*it);
    controls_.erase(it);
}

std::vector<Control*> Container::controls() const
{
    std::vector<Control*> result;
    result.reserve(controls_.size());
    for (const auto& control : controls_)
        result.push_back(control.get());
    return result;
}

Control* Container::find(std::string_view name, std::int16_t index) const
{
    for (const auto& control : controls_) {
        if (vb::equalsIgnoreCase(control->Name(), name) && (index == -1 || control->Index() == index))
            return control.get();
    }
    for (const auto& control : controls_) {
        const auto* container = dynamic_cast<const Container*>(control.get());
        if (auto* found = container ? container->find(name, index) : nullptr)
            return found;
    }
    return nullptr;
}

void Container::setContainerForm(Form* form)
{
    form_ = form;
    for (const auto& control : controls_) {
        control->form_ = form;
        if (auto* container = dynamic_cast<Container*>(control.get()))
            container->setContainerForm(form);
    }
}

void Container::unloadRuntimeElements()
{
    for (const auto& array : arrays_)
        array->unloadRuntimeElements();
    for (auto* control : controls()) {
        if (auto* container = dynamic_cast<Container*>(control))
            container->unloadRuntimeElements();
    }
}

void Container::forEachControl(const std::function<void(Control&)>& visit) const
{
    for (auto* control : controls()) {
        visit(*control);
        if (const auto* container = dynamic_cast<const Container*>(control))
            container->forEachControl(visit);
    }
}

void Container::destroyAll()
{
    arrays_.clear();
    zOrder_.clear();
    while (!controls_.empty()) {
        auto owned = std::move(controls_.back());
        controls_.pop_back();
    }
}

void Container::moveInZOrder(Control& control, bool toFront)
{
    std::erase(zOrder_, &control);
    zOrder_.insert(toFront ? zOrder_.begin() : zOrder_.end(), &control);
}

ControlArrayBase* Container::findArrayBase(std::string_view name) const
{
    for (const auto& array : arrays_) {
        if (vb::equalsIgnoreCase(array->name(), name))
            return array.get();
    }
    for (const auto& control : controls_) {
        const auto* container = dynamic_cast<const Container*>(control.get());
        if (auto* found = container ? container->findArrayBase(name) : nullptr)
            return found;
    }
    return nullptr;
}

}  // namespace platform
