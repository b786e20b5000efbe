#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class Control;
class Label;
}  // namespace platform

namespace quorin {

class ItemParent;

// Message texts from the static strings, message boxes through the driver, and caption sizing.
namespace modFormFunctions {

// Error number of missing static information, a missing static text and a missing message function.
inline constexpr std::int32_t kStaticInformationError = static_cast<std::int32_t>(0x8004000Au);

// The static text of sKey (below sSection when given), its first "%" replaced by iValue when
// bReplace; "" after a reported failure. Leaves FromRoot as it found it.
std::string GetStaticMsg(ItemParent& oParent, const std::string& sKey, bool bReplace, std::int16_t iValue,
                         const std::string& sSection, const std::string& sDefault = {});

// The letter of choice position lIndex (the last "Keys" child with that "Id" wins); "" when none.
std::string GetStaticLetter(std::int32_t lIndex, ItemParent& oParent);
// The letters of positions 0 .. lCount - 1 as GetStaticLetter gives them, read in one pass;
// nullopt when that lookup fails, leaving GetStaticLetter to report the failure.
std::optional<std::vector<std::string>> GetStaticLetters(std::int32_t lCount, ItemParent& oParent);

// The text with the first sFind replaced by sReplace; "" after a reported failure when sFind is missing.
std::string String_Replace(ItemParent& oParent, const std::string& sText, const std::string& sFind,
                           const std::string& sReplace);

// Shows a message box through the driver with the application title; the button pressed.
std::int16_t ShowMsg(ItemParent& oParent, const std::string& sText, std::int32_t lStyle);

// Sizes oTarget to its caption on one line, measured with oMeasure, at least the two minima.
void SetSizePerCaption(ItemParent& oParent, platform::Control& oTarget, platform::Label& oMeasure,
                       std::int16_t iMinHeight, std::int16_t iMinWidth);

}  // namespace modFormFunctions
}  // namespace quorin
