#include "itemwindow/frmMain.h"

#include "itemwindow/ChromePages.h"
#include "itemwindow/FrameImageList.h"
#include "itemwindow/ImagePaths.h"
#include "itemwindow/ItemLayout.h"
#include "keyanswers/WholeKeyAnswers.h"
#include "platform/Files.h"
#include "platform/Screen.h"
#include "platform/WindowSystem.h"
#include "support/ItemParent.h"
#include "support/ItemState.h"
#include "support/clsErrorDisplay.h"
#include "support/modFormFunctions.h"
#include "vb/Markup.h"
#include "vb/Strings.h"
#include "vb/Trap.h"
#include "vb/Variant.h"
#include "velm/DataIO.h"
#include "velm/ParentInt.h"

#include <cmath>
#include <filesystem>
#include <limits>

namespace quorin {
namespace {

constexpr float kSpacingPixels = 10;
constexpr std::int64_t kExhibitPressGuardSeconds = 3;
constexpr int kFlashTicks = 50;
constexpr float kScrollHintInset = 350;

// Frame sizes in pixels.
constexpr float kTitlePixels = 27;
constexpr float kEdgePixels = 8;
constexpr float kButtonBarPixels = 41;
constexpr float kBottomPixels = 8;

constexpr std::int16_t kExhibitButtonMinHeight = 375;
constexpr std::int16_t kExhibitButtonMinWidth = 500;

// Design-time widths of the stem and of the first choice text (those of the driver's usual
// 9000-twip rectangle), so a document measured before the first layout is laid out at a
// sensible width rather than one character per line.
constexpr float kStemDesignWidth = 8460;
constexpr float kChoiceDesignWidth = 7660;
// The answer controls' design size: room for the letter beside the button, so that the text,
// placed after the control, never covers the letter.
constexpr float kAnswerControlDesignWidth = 615;
constexpr float kAnswerControlDesignHeight = 255;

constexpr std::int32_t kOk = 1;
constexpr std::int32_t kOkOnly = 0;
constexpr std::int32_t kOkCancel = 1;

std::string boolText(bool value)
{
    return value ? "True" : "False";
}

// The text with its first mark replaced; error 5 when the mark is missing, as the message
// then cannot be completed.
std::string replaceFirst(std::string text, std::string_view mark, std::string_view replacement)
{
    const auto at = text.find(mark);
    if (at == std::string::npos)
        vb::raise(vb::err::kInvalidProcedureCall);
    return text.replace(at, mark.size(), replacement);
}

// The first code point of a caption (the letter of a choice); -1 for an empty caption.
std::int32_t firstCodePoint(const std::string& caption)
{
    const auto letter = vb::leftCodePoints(caption, 1);
    if (letter.empty())
        return -1;
    const auto lead = static_cast<unsigned char>(letter[0]);
    if (letter.size() == 1)
        return lead;
    std::int32_t value = lead & (0x7F >> letter.size());
    for (std::size_t i = 1; i < letter.size(); ++i)
        value = (value << 6) | (static_cast<unsigned char>(letter[i]) & 0x3F);
    return value;
}

std::int32_t lowerCodePoint(std::int32_t c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

std::int32_t upperCodePoint(std::int32_t c)
{
    return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c;
}

void place(platform::Control& control, const platform::Bounds& bounds)
{
    control.Move(bounds.left, bounds.top, bounds.width, bounds.height);
}

platform::Bounds boundsOf(const platform::Control& control)
{
    return {control.Left(), control.Top(), control.Width(), control.Height()};
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
    // Design-time state: the item area and the template elements stay hidden until the layout.
    scrItemStem.setVisible(false);
    for (platform::Control* control : std::initializer_list<platform::Control*>{
             &optnBox[0], &chkBox[0], &txtChoice[0], &cmdActiveExhibits[0], &lblActiveExhibits, &ssWorkScroll})
        control->setVisible(false);
    txtItemStem.setWidth(kStemDesignWidth);
    txtChoice[0].setWidth(kChoiceDesignWidth);
    for (platform::Control* control : std::initializer_list<platform::Control*>{&optnBox[0], &chkBox[0]}) {
        control->setWidth(kAnswerControlDesignWidth);
        control->setHeight(kAnswerControlDesignHeight);
    }
    tmflash.setEnabled(false);
    tmflash.setInterval(25);

    onLoad = [this] { Form_Load(); };
    onUnload = [this] { Form_Unload(); };
    onResize = [this] { Form_Resize(); };
    onMouseMove = [this](std::int16_t, std::int16_t, float, float) { setMousePointer(0); };
    chkBox.onClick = [this](std::int16_t index) { chkBox_Click(index); };
    optnBox.onMouseDown = [this](std::int16_t index, std::int16_t, std::int16_t, float, float) {
        optnBox_MouseDown(index);
    };
    optnBox.onMouseUp = [this](std::int16_t index, std::int16_t, std::int16_t, float, float) {
        trapped("optnBox_MouseUp", [&] { optnBox_MouseUp(index); });
    };
    chkBox.onKeyPress = [this](std::int16_t, std::int16_t& key) { choiceKeyPress("chkBox_KeyPress", key); };
    optnBox.onKeyPress = [this](std::int16_t, std::int16_t& key) { choiceKeyPress("optnBox_KeyPress", key); };
    pcChoicesContainer.onKeyPress = [this](std::int16_t& key) { choiceKeyPress("pcChoicesContainer_KeyPress", key); };
    txtChoice.onDocumentComplete = [this](std::int16_t index) { txtChoice_DocumentComplete(index); };
    txtChoice.onDocumentEvent = [this](std::int16_t index, platform::HtmlEvent& event) {
        txtChoice_DocumentEvent(index, event);
    };
    for (auto* browser : {&brwTitle, &brwLeftEdge, &brwRightEdge, &brwBottom, &brwButtons, &txtItemStem})
        browser->onDocumentComplete = [this] { trapped("ResizeWhenReady", [&] { ResizeWhenReady(); }); };
    brwButtons.onDocumentEvent = [this](platform::HtmlEvent& event) { brwButtons_DocumentEvent(event); };
    brwTitle.onDocumentEvent = [this](platform::HtmlEvent& event) { brwTitle_DocumentEvent(event); };
    brwBottom.onDocumentEvent = [this](platform::HtmlEvent& event) { brwBottom_DocumentEvent(event); };
    txtItemStem.onDocumentEvent = [this](platform::HtmlEvent& event) { txtItemStem_DocumentEvent(event); };
    brwLeftEdge.onDocumentEvent = [this](platform::HtmlEvent& event) { PageEventFilter::edge(brwLeftEdge, event); };
    brwRightEdge.onDocumentEvent = [this](platform::HtmlEvent& event) { PageEventFilter::edge(brwRightEdge, event); };
    scrItemStem.onVChange = [this] { scrItemStem_VChange(); };
    scrItemStem.onGotFocus = [this] { scrItemStem_GotFocus(); };
    cmdActiveExhibits.onClick = [this](std::int16_t index) { cmdActiveExhibits_Click(index); };
    tmflash.onTimer = [this] { trapped("tmflash_Timer", [&] { tmflash_Timer(); }); };
}

frmMain::~frmMain() = default;

template <class Body>
void frmMain::trapped(const char* routine, Body&& body)
{
    vb::trapSilently([&] { vb::trap(errordisplay_.get(), routine, body); });
}

ItemParent& frmMain::parent() const
{
    const auto owner = parent_.lock();
    if (!owner)
        vb::raise(vb::err::kObjectNotSet);
    return *owner;
}

velm::DataIO& frmMain::itemData() const
{
    return parent().ItemData();
}

void frmMain::logNote(const char* routine, const std::string& text) const
{
    parent().logNote(routine, text);
}

std::int32_t frmMain::contentHeightTwips(const platform::WebBrowser& browser) const
{
    return vb::toInt32(static_cast<double>(browser.ContentHeight()) * platform::Screen::instance().twipsPerPixelY());
}

std::int16_t frmMain::answerControlCount() const
{
    return mbSingleAnswer ? optnBox.count() : chkBox.count();
}

platform::Control& frmMain::answerControl(std::int16_t index) const
{
    if (mbSingleAnswer)
        return optnBox[index];
    return chkBox[index];
}

// ---------------------------------------------------------------------------------------------
// Owner, frame pages and files

void frmMain::SetParentClass(const std::shared_ptr<ItemParent>& parent)
{
    parentConnections_.clear();
    if (!parent) {
        RemoveTempFiles();
        parent_.reset();
        return;
    }
    vb::trap(errordisplay_.get(), "SetParentClass_Set", [&] {
        msSupportDir = parent->support().GetSupportFileDir("");
        FrameImageList::writeMissing(msSupportDir);
        parent_ = parent;
        parentConnections_.push_back(parent->LoadState.connect([this] { moParent_LoadState(); }));
        parentConnections_.push_back(parent->RefreshDisplay.connect([this] { moParent_RefreshDisplay(); }));
        parentConnections_.push_back(parent->ResizeDisplay.connect(
            [this](std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth, std::int32_t& lHeight) {
                moParent_ResizeDisplay(lLeft, lTop, lWidth, lHeight);
            }));
    });
}

void frmMain::release()
{
    setVisible(false);
    platform::WindowSystem::instance().setParent(hWnd(), previousParent_);
    SetParentClass(nullptr);
    Unload();
}

std::string frmMain::RewriteImagePaths(const std::string& html) const
{
    const auto owner = parent_.lock();
    return rewriteImagePaths(html, msSupportDir, [&owner](const std::string& reference) {
        return owner ? owner->support().GetGraphicsPath(reference) : std::string();
    });
}

std::string frmMain::createTitle() const
{
    auto& data = itemData();
    data.setFromRoot(true);
    data.FindElement("ItemStem");
    data.setFromRoot(false);
    data.FindElement("Heading");
    return ChromePages::createTitle(data.GetText().toString());
}

std::string frmMain::createLeftEdge() const
{
    return ChromePages::createLeftEdge();
}

std::string frmMain::createRightEdge() const
{
    return ChromePages::createRightEdge();
}

std::string frmMain::createBottom() const
{
    return ChromePages::createBottom();
}

std::string frmMain::createButtons() const
{
    auto& owner = parent();
    const auto caption = [&owner](const char* key) {
        return modFormFunctions::GetStaticMsg(owner, key, false, 0, "ButtonText");
    };
    return ChromePages::createButtons(
        {caption("cmdClearAll"), caption("cmdShowInstruction"), caption("cmdCalculator"), parlaDriver_, showAnswers_});
}

void frmMain::RemoveTempFiles() const
{
    // Swept directly: the file object reports a sweep that finds nothing, the usual case, as an
    // error, and every window's closing would pay for raising it.
    vb::trapSilently([this] {
        const std::filesystem::path pattern(msSupportDir + "*hdt.htm");
        platform::deleteMatching(pattern.has_parent_path() ? pattern.parent_path() : std::filesystem::path("."),
                                 pattern.filename().string());
    });
}

void frmMain::MakeReadOnly()
{
    trapped("MakeReadOnly", [&] {
        for (const auto index : optnBox.indices())
            optnBox[index].setEnabled(false);
        for (const auto index : chkBox.indices())
            chkBox[index].setEnabled(false);
    });
}

// ---------------------------------------------------------------------------------------------
// Loading

void frmMain::Form_Load()
{
    mbLoading = true;
    const float spacing = platform::Screen::instance().twipsPerPixelX() * kSpacingPixels;
    miHorzSpacing = vb::toInt16(spacing);
    miVertSpacing = vb::toInt16(spacing);
    for (auto* browser : {&brwTitle, &brwLeftEdge, &brwRightEdge, &brwButtons}) {
        browser->setBodyMargin("0px");
        browser->setFrameMargin("0px");
        browser->setScrollBars(false);
    }
    mbLoading = false;
}

void frmMain::showHtml(platform::WebBrowser& browser, const std::string& text, const char* bodyMargin)
{
    if (!vb::isHtml(text))
        return;
    browser.LoadHTML(RewriteImagePaths(text));
    browser.setBodyMargin(bodyMargin);
}

void frmMain::LoadControls()
{
    trapped("LoadControls", [&] {
        auto& owner = parent();
        ssWorkScroll.setFont(owner.itemFont());
        ssWorkScroll.setCaption(modFormFunctions::GetStaticMsg(owner, "cmdScroll", false, 0, "ButtonText"));
        logNote("LoadControls", "about to load item stem");
        auto& data = itemData();
        data.setFromRoot(true);
        data.FindElement("ItemStem");
        data.setFromRoot(false);
        data.FindElement("Text");
        showHtml(txtItemStem, data.GetText().toString(), "5px");
        logNote("LoadControls", "done load item stem");
        loadExhibitButtons();
        data.setFromRoot(true);
        data.FindElement("Choices");
        miMaxAnswers = data.GetAttribute("Max").toInt16();
        mbSingleAnswer = miMaxAnswers == 1;
        DisplayAnswerChoices();
    });
}

void frmMain::loadExhibitButtons()
{
    auto& owner = parent();
    auto& data = itemData();
    data.setFromRoot(true);
    data.FindElement("ActiveExhibits");
    mbExhibitsViewed =
        !(data.HasAttribute("Require") && vb::upperAscii(data.GetAttribute("Require").toString()) == "TRUE");
    const std::int32_t count = data.ChildCount();
    if (count > 0)
        mbViewed.assign(static_cast<std::size_t>(count) + 1, 0);
    for (std::int32_t i = 1; i <= count; ++i) {
        auto& button = cmdActiveExhibits.load(vb::toInt16(i));
        button.setFont(owner.itemFont());
        button.setCaption(data.GetChildAttribute(i - 1, "ButtonText").toString());
        modFormFunctions::SetSizePerCaption(owner, button, lblActiveExhibits, kExhibitButtonMinHeight,
                                            kExhibitButtonMinWidth);
        miExhibitButtonsWidth += vb::toInt32(button.Width());
        button.setTag(data.GetChildAttribute(i - 1, "Progid").toString() + "|"
                      + data.GetChildAttribute(i - 1, "InitDataFilename").toString() + "|"
                      + data.GetChildAttribute(i - 1, "SelfClosing").toString());
    }
}

void frmMain::DisplayAnswerChoices()
{
    trapped("DisplayAnswerChoices", [&] {
        logNote("DisplayAnswerChoices", "start load choices");
        moRandomizer = std::make_unique<clsRandomizer>();
        auto& data = itemData();
        data.setFromRoot(true);
        if (data.FindElement("Choices")) {
            const std::int32_t count = data.ChildCount();
            mbRandomOrder = data.GetAttribute("RandomOrder").toBool();
            if (mbRandomOrder)
                moRandomizer->setDomainCount(vb::toInt16(count));
            for (std::int16_t p = 0; p < count; ++p) {
                const std::int32_t c = mbRandomOrder ? moRandomizer->GetNext() - 1 : p;
                if (p > 0) {
                    if (mbSingleAnswer)
                        optnBox.load(p);
                    else
                        chkBox.load(p);
                    txtChoice.load(p);
                }
                answerControl(p).setTag(data.GetChildAttribute(c, "AnswerID").toString());
                data.MoveToChild(c);
                showHtml(txtChoice[p], data.GetText().toString(), "3px");
                data.MoveToParent();
            }
        }
        auto& owner = parent();
        const auto letters = modFormFunctions::GetStaticLetters(answerControlCount(), owner);
        for (std::int16_t j = 0; j < answerControlCount(); ++j) {
            const auto letter =
                letters ? (*letters)[static_cast<std::size_t>(j)] : modFormFunctions::GetStaticLetter(j, owner);
            answerControl(j).setCaption(letter + ".");
        }
        logNote("DisplayAnswerChoices", "done load choices");
    });
}

void frmMain::txtChoice_DocumentComplete(std::int16_t index)
{
    trapped("txtChoice_DocumentComplete", [&] {
        txtChoice[index].setHeight(static_cast<float>(contentHeightTwips(txtChoice[index])));
        ResizeWhenReady();
    });
}

// ---------------------------------------------------------------------------------------------
// State

ItemState frmMain::itemState() const
{
    return ItemState(itemData());
}

void frmMain::WriteStateResponse(const std::string& identifier)
{
    trapped("WriteStateResponse", [&] { itemState().addResponse(identifier); });
}

void frmMain::RemoveStateResponse(const std::string& identifier, bool all)
{
    if (all)
        itemState().removeResponses();
    else
        itemState().removeResponse(identifier);
}

void frmMain::WriteStateValue(const std::string& name, const std::string& value)
{
    itemState().setValue(name, value);
}

void frmMain::WriteStateOrder()
{
    if (!mbRandomOrder)
        return;
    trapped("WriteStateOrder", [&] {
        std::vector<std::string> tags;
        for (std::int16_t i = 0; i < answerControlCount(); ++i)
            tags.push_back(answerControl(i).Tag());
        if (!itemState().writeOrder(tags))
            throw vb::ComError(modFormFunctions::kStaticInformationError, "Failed to add ",
                               std::string(kComponentName));
    });
}

void frmMain::ReadStateOrder()
{
    trapped("ReadStateOrder", [&] {
        const std::int32_t positions = itemState().readOrder([&](std::int16_t index, const std::string& tag) {
            // A stored order from an item that has since changed must not reach past the controls.
            if (index < 0 || index >= answerControlCount())
                vb::raise(vb::err::kSubscriptOutOfRange);
            answerControl(index).setTag(tag);
        });
        auto& data = itemData();
        data.setFromRoot(true);
        if (!data.FindElement("Choices"))
            return;
        const std::int32_t choices = std::min(positions, data.ChildCount());
        for (std::int32_t i = 0; i < choices; ++i) {
            const std::string identifier = data.GetChildAttribute(i, "AnswerID").toString();
            for (std::int16_t j = 0; j < answerControlCount(); ++j) {
                if (answerControl(j).Tag() != identifier)
                    continue;
                data.MoveToChild(i);
                const std::string text = data.GetText().toString();
                if (vb::isHtml(text))
                    txtChoice[j].LoadHTML(RewriteImagePaths(text));
                data.MoveToParent();
            }
        }
    });
}

void frmMain::ReadStateAnswer()
{
    trapped("ReadStateAnswer", [&] {
        for (const auto& identifier : itemState().responses())
            SetAnswer(identifier);
    });
}

void frmMain::LoadState()
{
    trapped("LoadState", [&] {
        auto state = itemState();
        if (!state.exists())
            return;
        bcheckscroll = true;
        msStateXml = state.xml();
        if (const auto scroll = state.value("ItemAreaScroll"))
            mbScrollArea = scroll->toBool();
        else
            bcheckscroll = false;
        mbScrollAreaSaved = mbScrollArea;
        if (const auto buttons = state.value("Buttons"))
            mbExhibitsViewed = buttons->toBool();
        else
            bcheckscroll = false;
        const auto viewed = state.value("ViewedExhibits");
        miViewedExhibits = viewed ? viewed->toInt16() : 0;
    });
}

void frmMain::moParent_LoadState()
{
    LoadState();
    ReadStateOrder();
    WriteStateOrder();
    ReadStateAnswer();
    trapped("moParent_LoadState", [&] { WriteStateValue("ItemAreaScroll", boolText(mbScrollArea)); });
}

void frmMain::Form_Unload()
{
    closeCompanions();
    vb::trapSilently([&] {
        bcheckscroll = false;
        pcChoicesContainer.setVisible(false);
        scrItemStem.setVisible(false);
        miCheckedCount = 0;
    });
    vb::trapSilently([&] {
        chkBox.unloadRuntimeElements();
        optnBox.unloadRuntimeElements();
        txtChoice.unloadRuntimeElements();
        cmdActiveExhibits.unloadRuntimeElements();
    });
    parentConnections_.clear();
    parent_.reset();
}

// ---------------------------------------------------------------------------------------------
// Selection

void frmMain::chkBox_Click(std::int16_t index)
{
    if (mbSettingAnswer)
        return;
    trapped("chkBox_Click", [&] {
        auto& box = chkBox[index];
        if (box.Value() != 1) {
            --miCheckedCount;
            RemoveStateResponse(box.Tag(), false);
            return;
        }
        ++miCheckedCount;
        if (miCheckedCount <= miMaxAnswers) {
            WriteStateResponse(box.Tag());
            return;
        }
        box.setValue(0);
        auto& owner = parent();
        modFormFunctions::ShowMsg(
            owner, modFormFunctions::GetStaticMsg(owner, "NumMaxResponses", true, miMaxAnswers, ""), kOkOnly);
    });
}

void frmMain::optnBox_MouseDown(std::int16_t index)
{
    mbWasSelected = optnBox[index].Value();
}

void frmMain::optnBox_MouseUp(std::int16_t index)
{
    auto& option = optnBox[index];
    if (mbWasSelected) {
        option.setValue(false);
        RemoveStateResponse(option.Tag(), true);
        return;
    }
    option.setValue(true);
    RemoveStateResponse(option.Tag(), true);
    WriteStateResponse(option.Tag());
}

void frmMain::choiceKeyPress(const char* routine, std::int16_t& keyAscii)
{
    trapped(routine, [&] { SelectByLetter(keyAscii); });
}

// The text of a choice toggles it as its answer control would.
void frmMain::toggleChoice(std::int16_t index)
{
    if (mbSingleAnswer) {
        mbWasSelected = optnBox[index].Value();
        optnBox_MouseUp(index);
        return;
    }
    auto& box = chkBox[index];
    box.setValue(box.Value() == 1 ? 0 : 1);
}

void frmMain::txtChoice_DocumentEvent(std::int16_t index, platform::HtmlEvent& event)
{
    trapped("txtChoice_DocumentEvent", [&] {
        if (event.type == "click") {
            if (!readOnly_)
                toggleChoice(index);
            return;
        }
        PageEventFilter::framePage(txtChoice[index], event, selectByLetter());
    });
}

void frmMain::brwTitle_DocumentEvent(platform::HtmlEvent& event)
{
    trapped("brwTitle_DocumentEvent", [&] { PageEventFilter::framePage(brwTitle, event, selectByLetter()); });
}

void frmMain::brwBottom_DocumentEvent(platform::HtmlEvent& event)
{
    trapped("brwTitle_DocumentEvent", [&] { PageEventFilter::framePage(brwBottom, event, selectByLetter()); });
}

void frmMain::txtItemStem_DocumentEvent(platform::HtmlEvent& event)
{
    trapped("txtItemStem_DocumentEvent", [&] { PageEventFilter::framePage(txtItemStem, event, selectByLetter()); });
}

void frmMain::scrItemStem_GotFocus()
{
    if (txtItemStem.canFocus())
        txtItemStem.SetFocus();
}

PageEventFilter::LetterHandler frmMain::selectByLetter()
{
    return [this](std::int32_t keyAscii) { SelectByLetter(keyAscii); };
}

void frmMain::SelectByLetter(std::int32_t keyAscii)
{
    if (readOnly_)
        return;
    for (std::int16_t i = 0; i < answerControlCount(); ++i) {
        auto& control = answerControl(i);
        const auto letter = firstCodePoint(control.Caption());
        if (keyAscii != lowerCodePoint(letter) && keyAscii != upperCodePoint(letter))
            continue;
        if (mbSingleAnswer)
            mbWasSelected = optnBox[i].Value();
        if (control.canFocus())
            control.SetFocus();
        if (mbSingleAnswer)
            optnBox_MouseUp(i);
        else
            chkBox[i].setValue(chkBox[i].Value() == 1 ? 0 : 1);
    }
}

void frmMain::brwButtons_DocumentEvent(platform::HtmlEvent& event)
{
    if (event.type == "keypress" && readOnly_)
        return;
    if (event.type != "click") {
        vb::trapSilently([&] { PageEventFilter::framePage(brwButtons, event, selectByLetter()); });
        return;
    }
    const std::string& id = event.srcElement.id;
    if (id == "btnReset" && !readOnly_)
        cmdReset_Click();
    else if (id == "btnCalculator")
        cmdCalculator_Click();
    else if (id == "btnInstructions")
        cmdInstructions_Click();
    else if (id == "btnSetAnswers")
        cmdSetAnswers_Click();
}

void frmMain::cmdInstructions_Click()
{
    trapped("cmdInstructions_Click", [&] {
        if (instructions_) {
            instructions_->Unload();
            instructions_.reset();
        }
        instructions_ = frmInstructions::create();
        auto& data = itemData();
        data.setFromRoot(true);
        data.FindElement("Instructions");
        data.setFromRoot(false);
        // Without a Text the cursor is still on some other element, whose value is no instruction.
        const std::string text = data.FindElement("Text") ? data.GetText().toString() : std::string();
        auto& owner = parent();
        instructionsPreviousParent_ =
            platform::WindowSystem::instance().setParent(instructions_->hWnd(), owner.parentWindow());
        instructions_->Move((ScaleWidth() - instructions_->Width()) / 2, (ScaleHeight() - instructions_->Height()) / 2);
        instructions_->setCaption(modFormFunctions::GetStaticMsg(owner, "cmdShowInstruction", false, 0, "ButtonText"));
        instructions_->setInstText(RewriteImagePaths(text));
        instructions_->Show();
    });
}

void frmMain::cmdCalculator_Click()
{
    trapped("cmdCalculator_Click", [&] { SetCalc(); });
}

void frmMain::SetCalc()
{
    trapped("SetCalc", [&] {
        auto& owner = parent();
        calculator_.raiseOrStart(owner.support().GetGraphicsPath(Calculator::kProgram), owner.parentWindow());
    });
}

void frmMain::cmdActiveExhibits_Click(std::int16_t index)
{
    // Press times are compared in whole seconds of the clock, as the time of day is.
    const std::int64_t second = platform::EventLoop::current().now() / 1000;
    const bool tooSoon = lastExhibitPressSecond_ && second - *lastExhibitPressSecond_ <= kExhibitPressGuardSeconds;
    lastExhibitPressSecond_ = second;
    if (tooSoon)
        return;
    trapped("cmdActiveExhibits_Click", [&] { openExhibit(index); });
}

void frmMain::openExhibit(std::int16_t index)
{
    if (index >= 1 && static_cast<std::size_t>(index) <= mbViewed.size())
        mbViewed[static_cast<std::size_t>(index - 1)] = 1;
    const auto fields = vb::split(cmdActiveExhibits[index].Tag(), '|');
    const auto field = [&](std::size_t i) { return i < fields.size() ? fields[i] : std::string(); };
    // A flag that does not read as a Boolean (an empty one, say) opens an exhibit that stays.
    bool selfClose = false;
    vb::trapSilently([&] { selfClose = vb::toBool(field(2)); });
    parent().ShowActiveExhibit(field(0), field(1), selfClose);
    if (miViewedExhibits == std::numeric_limits<std::int16_t>::max())
        vb::raise(vb::err::kOverflow);
    ++miViewedExhibits;
    WriteStateValue("ViewedExhibits", std::to_string(miViewedExhibits));
}

bool frmMain::exhibitViewed(std::int16_t index) const
{
    return index >= 1 && static_cast<std::size_t>(index) <= mbViewed.size()
           && mbViewed[static_cast<std::size_t>(index - 1)] != 0;
}

void frmMain::tmflash_Timer()
{
    if (flashTicks_ >= kFlashTicks) {
        tmflash.setEnabled(false);
        flashTicks_ = 0;
        ssWorkScroll.setVisible(false);
        return;
    }
    ssWorkScroll.Move(scrItemStem.Width() - ssWorkScroll.Width() - kScrollHintInset,
                      scrItemStem.Height() - ssWorkScroll.Height() - kScrollHintInset);
    ssWorkScroll.ZOrder(0);
    ssWorkScroll.setVisible(true);
    ++flashTicks_;
}

void frmMain::closeCompanions()
{
    vb::trapSilently([&] { calculator_.close(); });
    vb::trapSilently([&] {
        if (!instructions_)
            return;
        platform::WindowSystem::instance().setParent(instructions_->hWnd(), instructionsPreviousParent_);
        instructions_->Unload();
        instructions_.reset();
    });
}

void frmMain::SetAnswer(const std::string& identifier)
{
    trapped("SetAnswer", [&] {
        mbSettingAnswer = true;
        for (std::int16_t i = 0; i < answerControlCount(); ++i) {
            if (answerControl(i).Tag() != identifier)
                continue;
            if (mbSingleAnswer) {
                optnBox[i].setValue(true);
            } else {
                chkBox[i].setValue(1);
                ++miCheckedCount;
            }
            WriteStateResponse(identifier);
        }
    });
    mbSettingAnswer = false;
}

// Clears every response, not just the first: after "Set Answers" a single-answer item can hold several.
void frmMain::Reset()
{
    trapped("Reset", [&] {
        if (mbSingleAnswer) {
            for (const auto index : optnBox.indices())
                optnBox[index].setValue(false);
        } else {
            for (const auto index : chkBox.indices())
                chkBox[index].setValue(0);
        }
        RemoveStateResponse("", true);
    });
}

void frmMain::cmdReset_Click()
{
    trapped("cmdReset_Click", [&] {
        auto& owner = parent();
        const auto question = modFormFunctions::GetStaticMsg(owner, "msgClearAll", false, 0, "");
        if (modFormFunctions::ShowMsg(owner, question, kOkCancel) == kOk)
            Reset();
    });
}

void frmMain::cmdSetAnswers_Click()
{
    trapped("cmdSetAnswers_Click", [&] {
        Reset();
        auto& data = itemData();
        data.setFromRoot(true);
        if (!data.FindElement("Answers"))
            return;
        const auto answers = data.GetPosition();
        const std::int32_t count = data.ChildCount();
        std::vector<std::string> keyed;
        keyed.reserve(static_cast<std::size_t>(count));
        for (std::int32_t k = 0; k < count; ++k)
            keyed.push_back(wholeKeyAnswers(data.GetChildText(k).toString(), "MC").value_or(""));
        data.SetPosition(answers);
        for (const auto& list : keyed) {
            if (list.empty())
                continue;
            for (const auto& answer : vb::split(list, ','))
                SetAnswer(answer);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Layout

void frmMain::moParent_RefreshDisplay()
{
    LoadControls();
    logNote("moParent_RefreshDisplay", "Start load UI edges  ");
    brwButtons.LoadHTML(RewriteImagePaths(createButtons()));
    brwTitle.LoadHTML(RewriteImagePaths(createTitle()));
    brwLeftEdge.LoadHTML(RewriteImagePaths(createLeftEdge()));
    brwRightEdge.LoadHTML(RewriteImagePaths(createRightEdge()));
    brwBottom.LoadHTML(RewriteImagePaths(createBottom()));
    logNote("moParent_RefreshDisplay", "done load load UI edges ");
    WriteStateOrder();
    mbLoading = false;
}

void frmMain::moParent_ResizeDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth,
                                     std::int32_t& lHeight)
{
    trapped("moParent_ResizeDisplay", [&] {
        logNote("moParent_ResizeDisplay", "lleft, ltop, lwidth, lheight: " + std::to_string(lLeft) + ", "
                                              + std::to_string(lTop) + ", " + std::to_string(lWidth) + ", "
                                              + std::to_string(lHeight));
        mbMovePending = true;
        Show();
        mbLayoutPending = true;
        mPending = {lLeft, lTop, lWidth, lHeight};
        ResizeWhenReady();
        if (readOnly_)
            MakeReadOnly();
    });
}

bool frmMain::ResizeWhenReady()
{
    bool ready = brwBottom.DocumentLoaded() && brwLeftEdge.DocumentLoaded() && brwRightEdge.DocumentLoaded()
                 && brwTitle.DocumentLoaded() && brwButtons.DocumentLoaded() && txtItemStem.DocumentLoaded();
    for (std::int16_t i = 0; ready && i < txtChoice.count(); ++i)
        ready = txtChoice[i].DocumentLoaded();
    if (!ready || !mbLayoutPending)
        return ready;
    if (mbMovePending) {
        Move(static_cast<float>(mPending.left), static_cast<float>(mPending.top), static_cast<float>(mPending.width),
             static_cast<float>(mPending.height));
        SizeControls();
        scrItemStem.setVisible(true);
        mbMovePending = false;
    } else {
        SizeControls();
    }
    mbLayoutPending = false;
    return ready;
}

FrameStrips frmMain::frameStrips(bool withBottom) const
{
    return {pixelsToTwipsY(kTitlePixels), pixelsToTwipsX(kEdgePixels), pixelsToTwipsX(kEdgePixels),
            pixelsToTwipsY(kButtonBarPixels), withBottom ? pixelsToTwipsY(kBottomPixels) : 0.0f};
}

void frmMain::Form_Resize()
{
    if (mbLoading)
        return;
    trapped("Form_Resize", [&] {
        const auto frame = ItemLayout::frame(ScaleWidth(), ScaleHeight(), frameStrips(false), caseStudy_);
        if (caseStudy_) {
            for (auto* browser : {&brwTitle, &brwLeftEdge, &brwRightEdge})
                browser->setVisible(false);
            place(brwButtons, frame.buttons);
            place(scrItemStem, frame.itemArea);
            return;
        }
        place(brwTitle, frame.title);
        place(brwLeftEdge, frame.leftEdge);
        place(brwRightEdge, frame.rightEdge);
        place(brwButtons, frame.buttons);
        place(scrItemStem, frame.itemArea);
        for (auto* browser : {&brwTitle, &brwLeftEdge, &brwRightEdge})
            browser->setVisible(true);
    });
}

void frmMain::SizeControls()
{
    trapped("SizeControls", [&] {
        logNote("SizeControls", "begin size controls");
        if (!mbLoading) {
            sizeFrame();
            if (scrItemStem.VerticalPosition() != 0)
                scrItemStem.setVerticalPosition(0);
            if (scrItemStem.HorizontalPosition() != 0)
                scrItemStem.setHorizontalPosition(0);
            sizeContent();
            SetScrollFlags();
            WriteStateValue("ItemStemHeight", vb::numberText(scrItemStem.Height()));
        }
        logNote("SizeControls", "end size controls");
    });
}

void frmMain::sizeFrame()
{
    const auto frame = ItemLayout::frame(ScaleWidth(), ScaleHeight(), frameStrips(true), caseStudy_);
    if (caseStudy_) {
        for (auto* browser : {&brwTitle, &brwLeftEdge, &brwRightEdge, &brwBottom})
            browser->setVisible(false);
        place(brwButtons, frame.buttons);
        brwButtons.setVisible(true);
        return;
    }
    place(brwTitle, frame.title);
    place(brwLeftEdge, frame.leftEdge);
    place(brwRightEdge, frame.rightEdge);
    place(brwBottom, frame.bottom);
    place(brwButtons, frame.buttons);
    place(scrItemStem, frame.itemArea);
    for (auto* browser : {&brwTitle, &brwLeftEdge, &brwRightEdge, &brwBottom, &brwButtons})
        browser->setVisible(true);
}

// Heights are kept in 32 bits: a reading passage can be far taller than 32,767 twips.
void frmMain::sizeContent()
{
    const float itemAreaWidth = scrItemStem.Width();
    // The browsers measure their documents at their widths, so the widths go first.
    txtItemStem.setWidth(ItemLayout::stemWidth(itemAreaWidth, miHorzSpacing, miVertSpacing));
    for (std::int16_t i = 0; i < answerControlCount(); ++i)
        txtChoice[i].setWidth(ItemLayout::choiceTextWidth(itemAreaWidth));
    ContentMeasures measures;
    measures.itemAreaWidth = itemAreaWidth;
    measures.windowWidth = Width();
    measures.horzSpacing = miHorzSpacing;
    measures.vertSpacing = miVertSpacing;
    measures.twipsPerPixelY = platform::Screen::instance().twipsPerPixelY();
    measures.stemPixels = txtItemStem.ContentHeight();
    measures.exhibitsWidth = miExhibitButtonsWidth;
    for (std::int16_t i = 1; i < cmdActiveExhibits.count(); ++i)
        measures.exhibits.push_back(boundsOf(cmdActiveExhibits[i]));
    for (std::int16_t i = 0; i < answerControlCount(); ++i) {
        measures.boxes.push_back(boundsOf(answerControl(i)));
        measures.choicePixels.push_back(txtChoice[i].ContentHeight());
    }
    const auto layout = ItemLayout::content(measures);
    place(txtItemStem, layout.stem);
    for (std::int16_t i = 1; i < cmdActiveExhibits.count(); ++i) {
        place(cmdActiveExhibits[i], layout.exhibits[static_cast<std::size_t>(i - 1)]);
        cmdActiveExhibits[i].setVisible(true);
    }
    for (std::int16_t i = 0; i < answerControlCount(); ++i) {
        const auto p = static_cast<std::size_t>(i);
        place(answerControl(i), layout.boxes[p]);
        place(txtChoice[i], layout.texts[p]);
        answerControl(i).setVisible(true);
        txtChoice[i].setVisible(true);
    }
    place(pcChoicesContainer, layout.choices);
    scrItemStem.setScrollingHeight(layout.scrollingHeight);
}

void frmMain::logScrollFlags()
{
    logNote("SetScrollFlags", "bcheckscroll: " + boolText(bcheckscroll));
    logNote("SetScrollFlags", "mbScrollArea: " + boolText(mbScrollArea));
    logNote("SetScrollFlags", "scrItemStem.ScrollingHeight: " + std::to_string(scrItemStem.ScrollingHeight()));
    logNote("SetScrollFlags", "scrItemStem.Height: " + vb::numberText(scrItemStem.Height()));
}

void frmMain::SetScrollFlags()
{
    trapped("SetScrollFlags", [&] {
        logScrollFlags();
        const bool fits = scrItemStem.Height() >= static_cast<float>(scrItemStem.ScrollingHeight());
        if (!bcheckscroll) {
            mbScrollArea = false;
            bcheckscroll = true;
        }
        if (fits) {
            mbScrollArea = true;
            mbFitsWhole = true;
        }
        logScrollFlags();
    });
}

void frmMain::scrItemStem_VChange()
{
    trapped("scrItemStem_VChange", [&] {
        const double seen = static_cast<double>(scrItemStem.Height()) + scrItemStem.VerticalPosition() + miHorzSpacing;
        if (seen <= scrItemStem.ScrollingHeight())
            return;
        mbScrollArea = true;
        WriteStateValue("ItemAreaScroll", "True");
        mbScrolledToEnd = true;
    });
}

bool frmMain::ViewedAll()
{
    bool result = false;
    trapped("ViewedAll_Get", [&] {
        logNote("ViewedAll", "mbScrollArea: " + boolText(mbScrollArea));
        if (!ResizeWhenReady())
            return;
        result = viewedAllOrNotice();
        if (result && scrItemStem.Height() <= static_cast<float>(scrItemStem.ScrollingHeight()))
            logViewedAllDiagnostics();
        mbFitsWhole = false;
    });
    return result;
}

bool frmMain::viewedAllOrNotice()
{
    if (!mbExhibitsViewed) {
        mbExhibitsViewed = true;
        for (std::int16_t k = 0; k <= cmdActiveExhibits.count() - 2; ++k) {
            if (static_cast<std::size_t>(k) < mbViewed.size() && mbViewed[static_cast<std::size_t>(k)] == 0)
                mbExhibitsViewed = false;
        }
    }
    if (mbScrollArea && mbExhibitsViewed) {
        WriteStateValue("Buttons", "True");
        return true;
    }
    showViewingNotice();
    return false;
}

void frmMain::showViewingNotice()
{
    auto& owner = parent();
    auto& data = itemData();
    const auto allowed = [&data] {
        return data.HasAttribute("DisplayScrollMsg")
               && vb::equalsIgnoreCase(data.GetAttribute("DisplayScrollMsg").toString(), "True");
    };
    if (mbExhibitsViewed) {
        const auto message = modFormFunctions::GetStaticMsg(owner, "ScrollItem", false, 0, "");
        if (allowed())
            modFormFunctions::ShowMsg(owner, message, kOkOnly);
        tmflash.setEnabled(true);
        return;
    }
    WriteStateValue("Buttons", "false");
    std::string unviewed;
    for (std::int16_t k = 0; k < cmdActiveExhibits.ubound(); ++k) {
        if (static_cast<std::size_t>(k) < mbViewed.size() && mbViewed[static_cast<std::size_t>(k)] == 0)
            unviewed += cmdActiveExhibits[k + 1].Caption() + ", ";
    }
    if (unviewed.size() >= 2)
        unviewed.erase(unviewed.size() - 2);
    const auto message =
        mbScrollArea ? replaceFirst(modFormFunctions::GetStaticMsg(owner, "ScrollButtons", false, 0, ""), "??",
                                    " " + unviewed + " ")
                     : replaceFirst(modFormFunctions::GetStaticMsg(owner, "ScrollBoth", false, 0, ""), "??", unviewed);
    if (allowed())
        modFormFunctions::ShowMsg(owner, message, kOkOnly);
    if (!mbScrollArea)
        tmflash.setEnabled(true);
}

void frmMain::logViewedAllDiagnostics()
{
    logNote("ViewedAll", "viewedall = true, but scroll height > height  bcheckscroll = " + boolText(bcheckscroll)
                             + "  mbScrollArea=" + boolText(mbScrollArea) + " scrItemStem.ScrollingHeight"
                             + std::to_string(scrItemStem.ScrollingHeight()) + " scrItemStem.Height"
                             + vb::numberText(scrItemStem.Height())
                             + "  mbscrollarea-sa = " + boolText(mbScrollAreaSaved) + "  p" + boolText(mbFitsWhole)
                             + "  vscroll=" + boolText(mbScrolledToEnd) + "   state=" + msStateXml);
}

}  // namespace quorin
