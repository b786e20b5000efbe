#pragma once

#include "platform/Font.h"
#include "platform/Signal.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velm {
class DataIO;
class ParentInt;
}  // namespace velm

namespace quorin {

class clsErrorDisplay;

// The component's name: the module of its log notes and the source of its run-time faults.
inline constexpr std::string_view kComponentName = "QuorinMultipleChoice";

// What the windows and support modules of an item need of the component that owns them (their
// "parent class"): the item document, the driver's support object, the item fonts, the
// message-box title, the error display and the four notifications. The component implements it,
// so the layers below it never include the component itself.
class ItemParent {
public:
    virtual ~ItemParent();

    // The item document: definition, static block and the candidate's State; error 91 once dropped.
    virtual velm::DataIO& ItemData() const = 0;
    // The driver's support object; error 91 before the driver handed one over or after the item was freed.
    virtual velm::ParentInt& support() const = 0;
    // The regular and the bold item font.
    virtual const platform::Font& itemFont() const = 0;
    virtual const platform::Font& boldItemFont() const = 0;
    // The caption of every message box ("" until initialisation read it).
    virtual const std::string& appTitle() const = 0;
    // The error display the modules report through; null once the item was freed.
    virtual clsErrorDisplay* moduleErrorDisplay() const = 0;
    // The window the driver gave the component to live in; 0 before it gave one.
    virtual std::int32_t parentWindow() const = 0;
    // Opens an exhibit in the exhibit window, replacing the one open: its display's programmatic
    // name, its data file (as the driver names it) and whether it closes itself.
    virtual void ShowActiveExhibit(const std::string& sProgid, const std::string& sDataFile, bool bSelfClose) = 0;
    // Writes a progress note to the driver's log under the component's module name.
    virtual void logNote(std::string_view routine, std::string_view text) const = 0;

    // Raised before the state is read; no window handles it.
    platform::Signal<> SetState;
    // Raised after the driver's State replaced the item's.
    platform::Signal<> LoadState;
    // Raised at the end of initialisation: the windows build their content.
    platform::Signal<> RefreshDisplay;
    // Raised by Show and Resize with the item's rectangle, in twips.
    platform::Signal<std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&> ResizeDisplay;
};

}  // namespace quorin
