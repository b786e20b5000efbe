#include "support/modFormFunctions.h"

#include "platform/Label.h"
#include "support/ItemParent.h"
#include "support/SavedPlace.h"
#include "support/clsErrorDisplay.h"
#include "vb/Trap.h"
#include "vb/Variant.h"
#include "velm/DataIO.h"
#include "velm/ParentInt.h"

#include <algorithm>
#include <exception>

namespace quorin::modFormFunctions {
namespace {

constexpr std::int32_t kNoMessageFunction = 99999;
constexpr std::int32_t kCaptionPadding = 250;

[[noreturn]] void raiseStaticNodeNotFound(const std::string& name)
{
    throw vb::ComError(kStaticInformationError, "Static node not found, " + name, std::string(kComponentName));
}

void findOrRaise(velm::DataIO& data, const std::string& name)
{
    if (!data.FindElement(name))
        raiseStaticNodeNotFound(name);
}

}  // namespace

std::string GetStaticMsg(ItemParent& oParent, const std::string& sKey, bool bReplace, std::int16_t iValue,
                         const std::string& sSection, const std::string&)
{
    std::string text;
    vb::trap(oParent.moduleErrorDisplay(), "GetStaticMsg", [&] {
        auto& data = oParent.ItemData();
        // The scope flag goes back as found, also after a failure; the found element stays current.
        const SavedScope scope(data);
        data.setFromRoot(true);
        findOrRaise(data, "Static");
        data.setFromRoot(false);
        if (!sSection.empty())
            data.FindElement(sSection);
        findOrRaise(data, sKey);
        text = data.GetText().toString();
        if (bReplace)
            text = String_Replace(oParent, text, "%", std::to_string(iValue));
    });
    return text;
}

std::string GetStaticLetter(std::int32_t lIndex, ItemParent& oParent)
{
    std::string letter;
    vb::trap(oParent.moduleErrorDisplay(), "GetStaticLetter", [&] {
        auto& data = oParent.ItemData();
        data.setFromRoot(true);
        findOrRaise(data, "Static");
        findOrRaise(data, "Keys");
        const std::int32_t count = data.ChildCount();
        for (std::int32_t i = 0; i < count; ++i) {
            if (data.GetChildAttribute(i, "Id").toInt32() == lIndex)
                letter = data.GetChildAttribute(i, "Letter").toString();
        }
    });
    return letter;
}

std::optional<std::vector<std::string>> GetStaticLetters(std::int32_t lCount, ItemParent& oParent)
{
    try {
        auto& data = oParent.ItemData();
        data.setFromRoot(true);
        if (!data.FindElement("Static") || !data.FindElement("Keys"))
            return std::nullopt;
        std::vector<std::string> letters(static_cast<std::size_t>(std::max(lCount, 0)));
        const std::int32_t count = data.ChildCount();
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t id = data.GetChildAttribute(i, "Id").toInt32();
            if (id >= 0 && id < lCount)
                letters[static_cast<std::size_t>(id)] = data.GetChildAttribute(i, "Letter").toString();
        }
        return letters;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string String_Replace(ItemParent& oParent, const std::string& sText, const std::string& sFind,
                           const std::string& sReplace)
{
    std::string result;
    vb::trap(oParent.moduleErrorDisplay(), "String_Replace", [&] {
        const auto at = sText.find(sFind);
        if (sFind.empty() || at == std::string::npos)
            vb::raise(vb::err::kInvalidProcedureCall);
        result = sText;
        result.replace(at, sFind.size(), sReplace);
    });
    return result;
}

std::int16_t ShowMsg(ItemParent& oParent, const std::string& sText, std::int32_t lStyle)
{
    const std::int32_t pressed = oParent.support().ShowMessage(sText, lStyle, oParent.appTitle());
    if (pressed == kNoMessageFunction)
        throw vb::ComError(kStaticInformationError, "Message Function not available", std::string(kComponentName));
    return vb::toInt16(pressed);
}

void SetSizePerCaption(ItemParent& oParent, platform::Control& oTarget, platform::Label& oMeasure,
                       std::int16_t iMinHeight, std::int16_t iMinWidth)
{
    vb::trap(oParent.moduleErrorDisplay(), "SetSizePerCaption", [&] {
        oMeasure.setAutoSize(true);
        oMeasure.setWordWrap(false);
        oMeasure.setCaption("");
        oMeasure.setFont(oTarget.font());
        oMeasure.setCaption(oTarget.Caption());
        oTarget.setHeight(oMeasure.Height() < iMinHeight ? iMinHeight : oMeasure.Height());
        oTarget.setWidth(oMeasure.Width() < iMinWidth ? iMinWidth : oMeasure.Width() + kCaptionPadding);
    });
}

}  // namespace quorin::modFormFunctions
