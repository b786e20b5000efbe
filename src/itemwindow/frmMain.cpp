#include "itemwindow/frmMain.h"

#include "component/clsMultipleChoice.h"
#include "platform/Screen.h"
#include "platform/WindowSystem.h"
#include "support/clsErrorDisplay.h"
#include "vb/Trap.h"
#include "vb/Variant.h"

namespace quorin {
namespace {

constexpr float kSpacingPixels = 10;

void setUpChromeBrowser(platform::WebBrowser& browser)
{
    browser.setBodyMargin("0px");
    browser.setFrameMargin("0px");
    browser.setScrollBars(false);
}

}  // namespace

std::shared_ptr<frmMain> frmMain::create()
{
    auto form = std::make_shared<frmMain>();
    form->Load();
    return form;
}

frmMain::frmMain()
    : Form("frmMain")
    , scrItemStem(add<platform::ScrollContainer>("scrItemStem"))
    , txtItemStem(scrItemStem.add<platform::WebBrowser>("txtItemStem"))
    , cmdActiveExhibits(scrItemStem.addArray<platform::CommandButton>("cmdActiveExhibits"))
    , pcChoicesContainer(scrItemStem.add<platform::PictureBox>("pcChoicesContainer"))
    , optnBox(pcChoicesContainer.addArray<platform::OptionButton>("optnBox"))
    , chkBox(pcChoicesContainer.addArray<platform::CheckBox>("chkBox"))
    , txtChoice(pcChoicesContainer.addArray<platform::WebBrowser>("txtChoice"))
    , lblActiveExhibits(add<platform::Label>("lblActiveExhibits"))
    , ssWorkScroll(add<platform::CommandButton>("ssWorkScroll"))
    , brwTitle(add<platform::WebBrowser>("brwTitle"))
    , brwLeftEdge(add<platform::WebBrowser>("brwLeftEdge"))
    , brwRightEdge(add<platform::WebBrowser>("brwRightEdge"))
    , brwButtons(add<platform::WebBrowser>("brwButtons"))
    , brwBottom(add<platform::WebBrowser>("brwBottom"))
    , tmflash(add<platform::Timer>("tmflash"))
{
    // The item window draws its own frame in the chrome pages.
    setBorderStyle(0);
    lblActiveExhibits.setVisible(false);
    ssWorkScroll.setVisible(false);
    tmflash.setEnabled(false);
    tmflash.setInterval(25);
    onLoad = [this] { Form_Load(); };
}

frmMain::~frmMain() = default;

void frmMain::Form_Load()
{
    mbLoading = true;
    const float spacing = platform::Screen::instance().twipsPerPixelX() * kSpacingPixels;
    miHorzSpacing = vb::toInt16(spacing);
    miVertSpacing = vb::toInt16(spacing);
    for (auto* browser : {&brwTitle, &brwLeftEdge, &brwRightEdge, &brwButtons})
        setUpChromeBrowser(*browser);
    mbLoading = false;
}

void frmMain::setParentClass(const std::shared_ptr<clsMultipleChoice>& parent)
{
    resizeConnection_.disconnect();
    parent_ = parent;
    if (!parent)
        return;
    resizeConnection_ = parent->ResizeDisplay.connect(
        [this](std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth, std::int32_t& lHeight) {
            moParent_ResizeDisplay(lLeft, lTop, lWidth, lHeight);
        });
}

void frmMain::release()
{
    setVisible(false);
    platform::WindowSystem::instance().setParent(hWnd(), previousParent_);
    setParentClass(nullptr);
    Unload();
}

vb::ErrorReporter* frmMain::errorReporter() const
{
    return errordisplay_.get();
}

void frmMain::moParent_ResizeDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                     std::int32_t& lHeight)
{
    vb::trap(errorReporter(), "moParent_ResizeDisplay", [&] {
        if (const auto parent = ParentClass())
            parent->logNote("moParent_ResizeDisplay", "lleft, ltop, lwidth, lheight: " + std::to_string(lLeft) + ", "
                                + std::to_string(lTop) + ", " + std::to_string(lWidth) + ", " + std::to_string(lHeight));
        Move(static_cast<float>(lLeft), static_cast<float>(lTop), static_cast<float>(lWidth), static_cast<float>(lHeight));
        Show();
    });
}

}  // namespace quorin
