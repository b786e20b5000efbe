#pragma once

#include "component/CaseStudyInt.h"
#include "host/driver/Rect.h"
#include "platform/ComObject.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velm::host {

// Stands in for the case study an item is bound to, so a driver's tool can watch it: created
// under the case study's programmatic name, it makes the real one from its server, passes every
// call on and writes down the member names in order and the question's rectangle.
class CaseStudyRecorder : public platform::ComObject, public quorin::CaseStudyInt {
public:
    using CreatedHook = std::function<void(const std::shared_ptr<CaseStudyRecorder>&)>;

    // Registers the stand-in under progId; onCreated hears of every one made.
    static void install(std::string_view progId, CreatedHook onCreated);
    // Forgets the stand-in, so the name creates the real case study again.
    static void uninstall(std::string_view progId);

    // Passes every call on to caseStudy.
    explicit CaseStudyRecorder(std::shared_ptr<quorin::CaseStudyInt> caseStudy);

    // The member names called, oldest first.
    const std::vector<std::string>& calls() const { return calls_; }
    // Whether the item has initialised the case study and not yet freed it.
    bool bound() const { return bound_; }
    // {bound, calls, questionRect: the rectangle QuestionSize last gave, or null}.
    nlohmann::ordered_json toJson() const;

    void DisplayInt_SetParentWnd(std::int32_t hParentWnd) override;
    void InitCaseStudy(velm::ByteArray& arFile, std::int32_t& lBytes, std::int32_t& lOptions,
                       std::shared_ptr<velm::ParentInt>& support, const std::string& sPart) override;
    std::int32_t getCaseParent() override;
    void DisplayInt_ShowExternalDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                        std::int32_t& lHeight) override;
    void DisplayInt_ResizeExternalDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                          std::int32_t& lHeight) override;
    void QuestionSize(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth, std::int32_t& lHeight) override;
    void DisplayInt_HideExternalDisplay() override;
    void DisplayInt_GetExternalDisplayStatus(std::int32_t& lDispState, bool& bViewedAll,
                                             std::string& sStateMsg) override;
    void DisplayInt_FreeExternalDisplay() override;

private:
    std::shared_ptr<quorin::CaseStudyInt> caseStudy_;
    std::vector<std::string> calls_;
    std::optional<RunRect> questionRect_;
    bool bound_ = false;
};

}  // namespace velm::host
