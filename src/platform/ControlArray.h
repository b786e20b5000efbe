#pragma once

#include "platform/Container.h"
#include "platform/Hook.h"
#include "vb/ComError.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct HtmlEvent;

// A control array: controls of kind T sharing one name, told apart by a 16-bit index. Element 0
// exists from the start; load(i) creates element i with element 0's properties, hidden, in the
// same container. The elements' events reach the array's hooks with the element's index; hooks
// for events that kind T does not have are never called. Do not set the elements' own hooks.
template <class T>
class ControlArray final : public ControlArrayBase {
public:
    // Creates element 0 in container (Container::addArray does this).
    ControlArray(Container& container, std::string name) : container_(container), name_(std::move(name))
    {
        auto& zero = static_cast<T&>(container_.adopt(std::make_unique<T>(), name_, 0));
        elements_[0] = &zero;
        wire(zero, 0);
    }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    // The element of that index; error 9 "Subscript out of range" when it is not loaded.
    T& operator[](std::int16_t index) const { return at(index); }
    T& at(std::int16_t index) const
    {
        if (T* element = find(index))
            return *element;
        vb::raise(vb::err::kSubscriptOutOfRange);
    }
    // The element of that index; null when it is not loaded.
    T* find(std::int16_t index) const
    {
        const auto it = elements_.find(index);
        return it == elements_.end() ? nullptr : it->second;
    }
    // Whether the element of that index is loaded.
    bool exists(std::int16_t index) const { return elements_.contains(index); }

    // Creates element index as a hidden copy of element 0's properties; error 360 "Object
    // already loaded" when it exists, error 9 for a negative index or when element 0 is gone.
    T& load(std::int16_t index)
    {
        if (exists(index))
            throw vb::ComError(360, "Object already loaded");
        if (index < 0)
            vb::raise(vb::err::kSubscriptOutOfRange);
        const T& zero = at(0);
        auto& element = static_cast<T&>(container_.adopt(std::make_unique<T>(), name_, index));
        element.copyPropertiesFrom(zero);
        element.setVisible(false);
        elements_[index] = &element;
        wire(element, index);
        return element;
    }
    // Destroys element index; error 362 "Can't unload controls created at design time" for
    // element 0, error 9 when it is not loaded.
    void unload(std::int16_t index)
    {
        if (index == 0)
            throw vb::ComError(362, "Can't unload controls created at design time");
        T& element = at(index);
        elements_.erase(index);
        container_.destroy(element);
    }

    // Number of loaded elements.
    std::int16_t count() const { return static_cast<std::int16_t>(elements_.size()); }
    // The highest loaded index; -1 when none is loaded.
    std::int16_t ubound() const { return elements_.empty() ? -1 : elements_.rbegin()->first; }
    // The lowest loaded index; 0 when none is loaded.
    std::int16_t lbound() const { return elements_.empty() ? 0 : elements_.begin()->first; }
    // The loaded indices in ascending order.
    std::vector<std::int16_t> indices() const
    {
        std::vector<std::int16_t> result;
        for (const auto& [index, element] : elements_)
            result.push_back(index);
        return result;
    }

    // The array's name, shared by every element.
    const std::string& name() const override { return name_; }
    // Unloads every element but element 0, highest index first.
    void unloadRuntimeElements() override
    {
        const auto loaded = indices();
        for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) {
            if (*it != 0)
                unload(*it);
        }
    }
    // Drops a destroyed element.
    void forget(const Control& control) override
    {
        std::erase_if(elements_, [&](const auto& entry) { return entry.second == &control; });
    }

    // Click of an element.
    std::function<void(std::int16_t index)> onClick;
    // MouseDown and MouseUp of an element: button, shift state, position in twips.
    std::function<void(std::int16_t index, std::int16_t button, std::int16_t shift, float x, float y)> onMouseDown;
    std::function<void(std::int16_t index, std::int16_t button, std::int16_t shift, float x, float y)> onMouseUp;
    // KeyPress of an element; the handler may change or clear (0) the character code.
    std::function<void(std::int16_t index, std::int16_t& keyAscii)> onKeyPress;
    // GotFocus and LostFocus of an element.
    std::function<void(std::int16_t index)> onGotFocus;
    std::function<void(std::int16_t index)> onLostFocus;
    // DocumentComplete of a browser element.
    std::function<void(std::int16_t index)> onDocumentComplete;
    // DocumentEvent of a browser element.
    std::function<void(std::int16_t index, HtmlEvent& event)> onDocumentEvent;
    // Timer of a timer element.
    std::function<void(std::int16_t index)> onTimer;

private:
    void wire(T& element, std::int16_t index)
    {
        element.onGotFocus = [this, index] { callHook(onGotFocus, index); };
        element.onLostFocus = [this, index] { callHook(onLostFocus, index); };
        if constexpr (requires { element.onClick; })
            element.onClick = [this, index] { callHook(onClick, index); };
        if constexpr (requires { element.onMouseDown; }) {
            element.onMouseDown = [this, index](std::int16_t button, std::int16_t shift, float x, float y) {
                callHook(onMouseDown, index, button, shift, x, y);
            };
            element.onMouseUp = [this, index](std::int16_t button, std::int16_t shift, float x, float y) {
                callHook(onMouseUp, index, button, shift, x, y);
            };
        }
        if constexpr (requires { element.onKeyPress; })
            element.onKeyPress = [this, index](std::int16_t& keyAscii) { callHook(onKeyPress, index, keyAscii); };
        if constexpr (requires { element.onDocumentComplete; }) {
            element.onDocumentComplete = [this, index] { callHook(onDocumentComplete, index); };
            element.onDocumentEvent = [this, index](HtmlEvent& event) { callHook(onDocumentEvent, index, event); };
        }
        if constexpr (requires { element.onTimer; })
            element.onTimer = [this, index] { callHook(onTimer, index); };
    }

    Container& container_;
    std::string name_;
    std::map<std::int16_t, T*> elements_;
};

template <class T>
ControlArray<T>& Container::addArray(std::string name)
{
    auto array = std::make_unique<ControlArray<T>>(*this, std::move(name));
    auto& result = *array;
    arrays_.push_back(std::move(array));
    return result;
}

template <class T>
ControlArray<T>* Container::findArray(std::string_view name) const
{
    return dynamic_cast<ControlArray<T>*>(findArrayBase(name));
}

}  // namespace platform
