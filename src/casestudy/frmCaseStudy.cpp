#include "casestudy/frmCaseStudy.h"

#include <cmath>

namespace quorin::casestudy {

std::shared_ptr<frmCaseStudy> frmCaseStudy::create()
{
    auto form = std::make_shared<frmCaseStudy>();
    form->Load();
    return form;
}

frmCaseStudy::frmCaseStudy() : Form("frmCaseStudy"), brwPassage(add<platform::WebBrowser>("brwPassage"))
{
    setBorderStyle(0);
    setVisible(false);
    onResize = [this] { Form_Resize(); };
}

void frmCaseStudy::setPassage(const std::string& html)
{
    brwPassage.LoadHTML(html);
    brwPassage.setBodyMargin("5px");
}

void frmCaseStudy::Form_Resize()
{
    const auto width = static_cast<std::int32_t>(std::lround(ScaleWidth()));
    brwPassage.Move(0, 0, static_cast<float>(passageWidth(width)), ScaleHeight());
}

}  // namespace quorin::casestudy
