#include "host/driver/CaseStudyRecorder.h"

#include "platform/ComponentRegistry.h"
#include "vb/ComError.h"

namespace velm::host {

void CaseStudyRecorder::install(std::string_view progId, CreatedHook onCreated)
{
    const std::string name(progId);
    platform::ComponentRegistry::instance().registerFactory(name, [name, onCreated = std::move(onCreated)] {
        auto caseStudy = std::dynamic_pointer_cast<quorin::CaseStudyInt>(
            platform::ComponentRegistry::instance().createFromServer(name));
        if (!caseStudy)
            vb::raise(vb::err::kNotSupported);
        auto recorder = std::make_shared<CaseStudyRecorder>(std::move(caseStudy));
        if (onCreated)
            onCreated(recorder);
        return std::static_pointer_cast<platform::ComObject>(recorder);
    });
}

void CaseStudyRecorder::uninstall(std::string_view progId)
{
    platform::ComponentRegistry::instance().unregisterFactory(progId);
}

CaseStudyRecorder::CaseStudyRecorder(std::shared_ptr<quorin::CaseStudyInt> caseStudy) : caseStudy_(std::move(caseStudy))
{
}

nlohmann::ordered_json CaseStudyRecorder::toJson() const
{
    nlohmann::ordered_json rect = nullptr;
    if (questionRect_)
        rect = {questionRect_->left, questionRect_->top, questionRect_->width, questionRect_->height};
    return {{"bound", bound_}, {"calls", calls_}, {"questionRect", rect}};
}

void CaseStudyRecorder::DisplayInt_SetParentWnd(std::int32_t hParentWnd)
{
    calls_.emplace_back("DisplayInt_SetParentWnd");
    caseStudy_->DisplayInt_SetParentWnd(hParentWnd);
}

void CaseStudyRecorder::InitCaseStudy(velm::ByteArray& arFile, std::int32_t& lBytes, std::int32_t& lOptions,
                                      std::shared_ptr<velm::ParentInt>& support, const std::string& sPart)
{
    calls_.emplace_back("InitCaseStudy");
    caseStudy_->InitCaseStudy(arFile, lBytes, lOptions, support, sPart);
    bound_ = true;
}

std::int32_t CaseStudyRecorder::getCaseParent()
{
    calls_.emplace_back("getCaseParent");
    return caseStudy_->getCaseParent();
}

void CaseStudyRecorder::DisplayInt_ShowExternalDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                                       std::int32_t& lHeight)
{
    calls_.emplace_back("DisplayInt_ShowExternalDisplay");
    caseStudy_->DisplayInt_ShowExternalDisplay(lLeft, lTop, lWidth, lHeight);
}

void CaseStudyRecorder::DisplayInt_ResizeExternalDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                                         std::int32_t& lHeight)
{
    calls_.emplace_back("DisplayInt_ResizeExternalDisplay");
    caseStudy_->DisplayInt_ResizeExternalDisplay(lLeft, lTop, lWidth, lHeight);
}

void CaseStudyRecorder::QuestionSize(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                     std::int32_t& lHeight)
{
    calls_.emplace_back("QuestionSize");
    caseStudy_->QuestionSize(lLeft, lTop, lWidth, lHeight);
    questionRect_ = RunRect{lLeft, lTop, lWidth, lHeight};
}

void CaseStudyRecorder::DisplayInt_HideExternalDisplay()
{
    calls_.emplace_back("DisplayInt_HideExternalDisplay");
    caseStudy_->DisplayInt_HideExternalDisplay();
}

void CaseStudyRecorder::DisplayInt_GetExternalDisplayStatus(std::int32_t& lDispState, bool& bViewedAll,
                                                            std::string& sStateMsg)
{
    calls_.emplace_back("DisplayInt_GetExternalDisplayStatus");
    caseStudy_->DisplayInt_GetExternalDisplayStatus(lDispState, bViewedAll, sStateMsg);
}

void CaseStudyRecorder::DisplayInt_FreeExternalDisplay()
{
    calls_.emplace_back("DisplayInt_FreeExternalDisplay");
    bound_ = false;
    caseStudy_->DisplayInt_FreeExternalDisplay();
}

}  // namespace velm::host
