#pragma once

#include "component/CaseStudyInt.h"
#include "platform/ComObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quorin::casestudy {

class frmCaseStudy;

// A case study of our own: it shows the passage of a case file
// (<CaseStudy><Title/><Passage>HTML</Passage></CaseStudy>) on the left of its window and gives
// the bound item's question the right-hand part.
class clsCaseStudy : public platform::ComObject, public CaseStudyInt {
public:
    static constexpr std::string_view kProgId = "QuorinCaseStudy.clsCaseStudy";
    static constexpr std::string_view kClassId = "{6B1D3F0A-2C47-4E8B-9A51-3D7C0E92B6F4}";

    clsCaseStudy();
    ~clsCaseStudy() override;

    // The case file's title; empty before initialisation.
    const std::string& title() const { return title_; }
    // The window; null before initialisation and after it was freed.
    std::shared_ptr<frmCaseStudy> window() const { return form_; }

    void DisplayInt_SetParentWnd(std::int32_t hParentWnd) override;
    // Raises 5 with a description when the file is not a case file; support stays as it is.
    void InitCaseStudy(velm::ByteArray& arFile, std::int32_t& lBytes, std::int32_t& lOptions,
                       std::shared_ptr<velm::ParentInt>& support, const std::string& sPart) override;
    std::int32_t getCaseParent() override;
    void DisplayInt_ShowExternalDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                        std::int32_t& lHeight) override;
    void DisplayInt_ResizeExternalDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                          std::int32_t& lHeight) override;
    // The right-hand part of the rectangle, with its origin inside the case study's window.
    void QuestionSize(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth, std::int32_t& lHeight) override;
    void DisplayInt_HideExternalDisplay() override;
    // Writes whether the candidate has seen the case study; leaves the state and the flag alone.
    void DisplayInt_GetExternalDisplayStatus(std::int32_t& lDispState, bool& bViewedAll,
                                             std::string& sStateMsg) override;
    void DisplayInt_FreeExternalDisplay() override;

private:
    frmCaseStudy& windowOrRaise() const;
    void place(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight);

    std::int32_t parentWindow_ = 0;
    std::string title_;
    std::shared_ptr<frmCaseStudy> form_;
    bool shown_ = false;
};

}  // namespace quorin::casestudy
