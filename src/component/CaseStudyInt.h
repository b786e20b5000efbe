#pragma once

#include "velm/DisplayInt.h"
#include "velm/ParentInt.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quorin {

// The members an item calls on the case study it is bound to. The case study is created by
// programmatic name; any object that offers these members serves.
class CaseStudyInt {
public:
    virtual ~CaseStudyInt() = default;

    // Records the driver's window, the parent of the case study's own.
    virtual void DisplayInt_SetParentWnd(std::int32_t hParentWnd) = 0;
    // Takes the case file's bytes; may replace support, which then becomes the item's.
    virtual void InitCaseStudy(velm::ByteArray& arFile, std::int32_t& lBytes, std::int32_t& lOptions,
                               std::shared_ptr<velm::ParentInt>& support, const std::string& sPart) = 0;
    // The window into which the item's window is placed.
    virtual std::int32_t getCaseParent() = 0;
    // Shows the case study at the driver's rectangle.
    virtual void DisplayInt_ShowExternalDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                                std::int32_t& lHeight) = 0;
    // Moves the case study to the driver's rectangle.
    virtual void DisplayInt_ResizeExternalDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                                  std::int32_t& lHeight) = 0;
    // Turns the item's rectangle into the question's part of the case study's window.
    virtual void QuestionSize(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth, std::int32_t& lHeight) = 0;
    // Hides the case study.
    virtual void DisplayInt_HideExternalDisplay() = 0;
    // May write the state message; the state and viewed flag are the item's to give.
    virtual void DisplayInt_GetExternalDisplayStatus(std::int32_t& lDispState, bool& bViewedAll,
                                                     std::string& sStateMsg) = 0;
    // Lets go of the case study's window and data.
    virtual void DisplayInt_FreeExternalDisplay() = 0;
};

}  // namespace quorin
