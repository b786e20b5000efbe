#include "companions/frmInstructions.h"

#include "platform/Screen.h"
#include "support/PageEventFilter.h"

namespace quorin {
namespace {

// Below this inner size (two pixels and 75 twips) the window is too small to lay out.
constexpr float kMinimumPixels = 2;
constexpr float kMinimumTwips = 75;

}  // namespace

std::shared_ptr<frmInstructions> frmInstructions::create()
{
    auto form = std::make_shared<frmInstructions>();
    form->Load();
    return form;
}

frmInstructions::frmInstructions()
    : Form("frmInstructions")
    , txtInstructions(add<platform::WebBrowser>("txtInstructions"))
{
    setCaption("Question Instructions");
    Move(0, 0, kDesignWidth, kDesignHeight);
    txtInstructions.setScrollBars(false);
    onResize = [this] { Form_Resize(); };
    txtInstructions.onDocumentComplete = [this] { Form_Resize(); };
    txtInstructions.onDocumentEvent = [this](platform::HtmlEvent& event) { txtInstructions_DocumentEvent(event); };
}

void frmInstructions::setInstText(const std::string& html)
{
    txtInstructions.LoadHTML(html);
    txtInstructions.setBodyMargin("5px");
}

void frmInstructions::Form_Resize()
{
    const auto& screen = platform::Screen::instance();
    if (ScaleWidth() <= kMinimumPixels * screen.twipsPerPixelX() + kMinimumTwips
        || ScaleHeight() <= kMinimumPixels * screen.twipsPerPixelY() + kMinimumTwips)
        return;
    txtInstructions.Move(0, 0, ScaleWidth(), ScaleHeight());
    const float contentTwips = static_cast<float>(txtInstructions.ContentHeight()) * screen.twipsPerPixelY();
    if (contentTwips > txtInstructions.Height())
        txtInstructions.setScrollBars(true);
}

void frmInstructions::txtInstructions_DocumentEvent(platform::HtmlEvent& event)
{
    PageEventFilter::instructions(txtInstructions, event);
}

}  // namespace quorin
