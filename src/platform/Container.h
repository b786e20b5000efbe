#pragma once

#include "platform/Control.h"
#include "platform/ControlArrayBase.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Form;
template <class T>
class ControlArray;

// Something that owns controls: a form, a picture box, a scroll container. Controls are kept
// in creation order and, separately, in z-order.
class Container {
public:
    virtual ~Container();
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    // Creates a control of kind T named name in this container (in front of its siblings).
    template <class T>
    T& add(std::string name)
    {
        std::unique_ptr<Control> control = std::make_unique<T>();
        return static_cast<T&>(adopt(std::move(control), std::move(name)));
    }
    // Creates a control array of kind T whose element 0 lives here (see ControlArray.h).
    template <class T>
    ControlArray<T>& addArray(std::string name);

    // Takes ownership of a new control under name and index (-1 when not an array element).
    Control& adopt(std::unique_ptr<Control> control, std::string name, std::int16_t index = -1);
    // Destroys a control of this container; a control held elsewhere is ignored.
    void destroy(Control& control);

    // The controls of this container, in creation order.
    std::vector<Control*> controls() const;
    // The controls of this container, front first.
    const std::vector<Control*>& zOrder() const { return zOrder_; }
    // The control of that name (ASCII case ignored) and index (-1: any) here or in a container
    // below; null when none.
    Control* find(std::string_view name, std::int16_t index = -1) const;
    // As find, of kind T; null when none or of another kind.
    template <class T>
    T* findAs(std::string_view name, std::int16_t index = -1) const
    {
        return dynamic_cast<T*>(find(name, index));
    }
    // The control array of that name and kind here or below; null when none.
    template <class T>
    ControlArray<T>* findArray(std::string_view name) const;

protected:
    Container() = default;

    // The form the controls are on (null for a container on no form).
    Form* containerForm() const { return form_; }
    // Sets the form of this container and every container below it.
    void setContainerForm(Form* form);
    // Unloads the run-time elements of every control array here and below.
    void unloadRuntimeElements();
    // Calls visit on every control here and below, parents before children.
    void forEachControl(const std::function<void(Control&)>& visit) const;
    // Destroys every control and control array of this container.
    void destroyAll();

private:
    friend class Control;

    void moveInZOrder(Control& control, bool toFront);
    ControlArrayBase* findArrayBase(std::string_view name) const;

    Form* form_ = nullptr;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<Control*> zOrder_;
    std::vector<std::unique_ptr<ControlArrayBase>> arrays_;
};

}  // namespace platform
