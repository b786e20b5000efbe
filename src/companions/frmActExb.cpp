#include "companions/frmActExb.h"

#include "platform/WindowSystem.h"
#include "support/ItemParent.h"
#include "support/clsErrorDisplay.h"
#include "vb/Trap.h"
#include "vb/Variant.h"

namespace quorin {
namespace {

constexpr float kExitLeft = 120;
constexpr float kExitMargin = 50;
constexpr std::int32_t kChildMargin = 100;

}  // namespace

std::shared_ptr<frmActExb> frmActExb::create()
{
    auto form = std::make_shared<frmActExb>();
    form->Load();
    return form;
}

frmActExb::frmActExb() : Form("frmActExb"), cmdExit(add<platform::CommandButton>("cmdExit"))
{
    setBorderStyle(0);
    cmdExit.setCaption("Exit");
    cmdExit.setFont(platform::Font("Arial", 8));
    cmdExit.Move(kExitLeft, 0, kExitWidth, kExitHeight);
    cmdExit.onClick = [this] { cmdExit_Click(); };
    onUnload = [this] { Form_Unload(); };
}

frmActExb::~frmActExb()
{
    // A window destroyed without unloading (its component dropped unfreed) must not keep its exhibit alive.
    if (mExtDisplay)
        mExtDisplay->dropChild();
}

template <class Body>
void frmActExb::trapped(const char* routine, Body&& body)
{
    vb::trapSilently([&] { vb::trap(moErrorDisplay.get(), routine, body); });
}

void frmActExb::SetParentClass(const std::shared_ptr<ItemParent>& parent)
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

void frmActExb::setParenthWnd(const std::string& handle)
{
    parenthWnd_ = vb::Variant(handle).toInt32();
}

void frmActExb::moParent_ResizeDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                       std::int32_t& lHeight)
{
    trapped("moParent_ResizeDisplay", [&] {
        Move(static_cast<float>(lLeft), static_cast<float>(lTop), static_cast<float>(lWidth),
             static_cast<float>(lHeight));
        if (!mExtDisplay)
            return;
        // The window itself now sits at the rectangle, so the child fills it from its own origin.
        if (mbSelfClose) {
            cmdExit.setVisible(false);
            mExtDisplay->Resize(0, 0, lWidth, lHeight);
            setVisible(false);
            return;
        }
        cmdExit.setVisible(true);
        mExtDisplay->Resize(0, 0, lWidth, lHeight - vb::toInt32(kExitHeight) - kChildMargin);
        placeExit();
    });
}

void frmActExb::InitItem()
{
    trapped("InitItem", [&] {
        if (mbSelfClose) {
            cmdExit.setVisible(false);
            setVisible(false);
        } else {
            cmdExit.setVisible(true);
        }
        mExtDisplay = clsExtDisplay::create();
        mExtDisplay->setExtClassName(msProgid);
        mExtDisplay->setInitFile(msDataPath);
        mExtDisplay->setParent(parent_.lock());
        mExtDisplay->sethwnd(hWnd());
        mExtDisplay->InitDisplay(false, false);
    });
}

bool frmActExb::FreeExternalDisplay()
{
    trapped("FreeExternalDisplay", [&] {
        if (mExtDisplay)
            mExtDisplay->FreeDisplay();
    });
    return false;
}

void frmActExb::HideItem()
{
    if (!mExtDisplay)
        vb::raise(vb::err::kObjectNotSet);
    mExtDisplay->Hide();
}

void frmActExb::ShowItem()
{
    trapped("ShowItem", [&] {
        if (!mExtDisplay)
            InitItem();
        setVisible(true);
        const auto width = vb::toInt32(Width());
        const auto height = vb::toInt32(Height());
        if (mbSelfClose) {
            cmdExit.setVisible(false);
            mExtDisplay->Display(0, 0, width, height);
            setVisible(false);
            return;
        }
        cmdExit.setVisible(true);
        mExtDisplay->Display(0, 0, width, height - vb::toInt32(kExitHeight) - vb::toInt32(kExitMargin));
        placeExit();
    });
}

void frmActExb::CloseItem()
{
    trapped("CloseItem", [&] {
        setVisible(false);
        releaseExhibit();
    });
}

void frmActExb::cmdExit_Click()
{
    trapped("cmdExit_Click", [&] {
        CloseItem();
        Unload();
    });
}

void frmActExb::Form_Unload()
{
    trapped("Form_Unload", [&] {
        platform::WindowSystem::instance().setParent(hWnd(), previousParent_);
        releaseExhibit();
    });
}

void frmActExb::releaseExhibit()
{
    if (!mExtDisplay)
        return;
    const auto exhibit = std::move(mExtDisplay);
    exhibit->Hide();
    exhibit->FreeDisplay();
}

void frmActExb::placeExit()
{
    cmdExit.setTop(Height() - cmdExit.Height() - kExitMargin);
}

}  // namespace quorin
