#include "casestudy/clsCaseStudy.h"

#include "casestudy/frmCaseStudy.h"
#include "platform/WindowSystem.h"
#include "vb/ComError.h"

#include <pugixml.hpp>

#include <algorithm>

namespace quorin::casestudy {
namespace {

constexpr const char* kModuleName = "QuorinCaseStudy";

[[noreturn]] void raiseDamagedFile(const std::string& why)
{
    throw vb::ComError(vb::err::kInvalidProcedureCall, "The case file " + why, kModuleName);
}

}  // namespace

clsCaseStudy::clsCaseStudy() = default;

clsCaseStudy::~clsCaseStudy()
{
    if (form_)
        form_->Unload();
}

void clsCaseStudy::DisplayInt_SetParentWnd(std::int32_t hParentWnd)
{
    parentWindow_ = hParentWnd;
}

void clsCaseStudy::InitCaseStudy(velm::ByteArray& arFile, std::int32_t& lBytes, std::int32_t&,
                                 std::shared_ptr<velm::ParentInt>&, const std::string&)
{
    const auto size = std::min(arFile.size(), static_cast<std::size_t>(std::max(lBytes, 0)));
    pugi::xml_document file;
    if (!file.load_buffer(arFile.data(), size))
        raiseDamagedFile("is not XML");
    const auto root = file.child("CaseStudy");
    if (!root)
        raiseDamagedFile("has no CaseStudy element");
    title_ = root.child("Title").text().get();
    form_ = frmCaseStudy::create();
    form_->setCaption(title_);
    form_->setPassage(root.child("Passage").text().get());
    platform::WindowSystem::instance().setParent(form_->hWnd(), parentWindow_);
}

std::int32_t clsCaseStudy::getCaseParent()
{
    return windowOrRaise().hWnd();
}

void clsCaseStudy::DisplayInt_ShowExternalDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                                  std::int32_t& lHeight)
{
    place(lLeft, lTop, lWidth, lHeight);
    windowOrRaise().Show();
    shown_ = true;
}

void clsCaseStudy::DisplayInt_ResizeExternalDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                                    std::int32_t& lHeight)
{
    place(lLeft, lTop, lWidth, lHeight);
}

void clsCaseStudy::QuestionSize(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth, std::int32_t&)
{
    lLeft = frmCaseStudy::passageWidth(lWidth);
    lTop = 0;
    lWidth -= lLeft;
}

void clsCaseStudy::DisplayInt_HideExternalDisplay()
{
    windowOrRaise().Hide();
}

void clsCaseStudy::DisplayInt_GetExternalDisplayStatus(std::int32_t&, bool&, std::string& sStateMsg)
{
    sStateMsg = (shown_ ? "Case study viewed: " : "Case study not viewed: ") + title_;
}

void clsCaseStudy::DisplayInt_FreeExternalDisplay()
{
    if (!form_)
        return;
    const auto form = std::move(form_);
    form->Unload();
}

frmCaseStudy& clsCaseStudy::windowOrRaise() const
{
    if (!form_)
        vb::raise(vb::err::kObjectNotSet);
    return *form_;
}

void clsCaseStudy::place(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight)
{
    windowOrRaise().Move(static_cast<float>(lLeft), static_cast<float>(lTop), static_cast<float>(lWidth),
                         static_cast<float>(lHeight));
}

}  // namespace quorin::casestudy
