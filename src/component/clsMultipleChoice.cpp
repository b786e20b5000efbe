#include "component/clsMultipleChoice.h"

#include "companions/frmActExb.h"
#include "component/RescoreResponses.h"
#include "component/ResponseFormats.h"
#include "component/clsStatus.h"
#include "itemwindow/frmMain.h"
#include "platform/ComponentRegistry.h"
#include "platform/WindowSystem.h"
#include "support/ItemState.h"
#include "support/SavedPlace.h"
#include "support/clsErrorDisplay.h"
#include "support/modFormFunctions.h"
#include "vb/Strings.h"
#include "vb/Trap.h"
#include "velm/DataIO.h"
#include "velm/ItemScorer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <vector>

namespace quorin {
namespace {

constexpr std::int32_t kCaseMarkerBytes = 12;  // the byte length of the marker "|case|"
constexpr std::int32_t kMinimumResizeWidth = 8000;
constexpr std::int32_t kMinimumResizeHeight = 4500;
constexpr std::int32_t kReadOnlyOption = 1;
constexpr std::int32_t kShowAnswersOption = 16;
constexpr std::int32_t kCalculatorOption = 256;
constexpr float kItemFontSize = 10.0f;

// The window names that never count as the item's visible window.
constexpr std::string_view kIgnoredWindowNames[] = {"frmViewInfo", "frmConnections"};

std::int32_t byteLength(const std::string& text)
{
    const auto bytes = 2 * vb::utf16Length(text);
    if (bytes > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - kCaseMarkerBytes))
        vb::raise(vb::err::kOverflow);
    return static_cast<std::int32_t>(bytes);
}

// Copies text's code units to the caller's array from subscript 0: at most limit bytes, and
// never more than the array holds.
void copyTextToArray(const std::string& text, velm::ByteArray& array, std::int32_t limit)
{
    if (array.empty())
        vb::raise(vb::err::kSubscriptOutOfRange);
    const auto bytes = vb::bytesFromText(text);
    const auto count = std::min({bytes.size(), array.size(), static_cast<std::size_t>(std::max(limit, 0))});
    std::copy_n(bytes.begin(), count, array.begin());
}

// Finds the document element of an item; without one no state could ever be kept, so it raises.
void findItemElement(velm::DataIO& data)
{
    data.setFromRoot(true);
    if (!data.FindElement("MultipleChoiceItem"))
        throw vb::ComError(vb::err::kInvalidProcedureCall, "The item has no MultipleChoiceItem element",
                           std::string(clsMultipleChoice::kModuleName));
}

// Parses the text into state, raising unless it is one well-formed State element.
void loadStateText(velm::DataIO& state, const std::string& stateText)
{
    state.LoadXml(stateText);
    state.MoveToRoot();
    // The first State found is the document element itself exactly when it has no parent.
    if (!state.FindElement("State") || state.MoveToParent())
        throw vb::ComError(vb::err::kInvalidProcedureCall, "The state text is not a State element",
                           std::string(clsMultipleChoice::kModuleName));
}

// Lets the scorer's copy of the item document go once the score is read. The copy shares the
// item's document until either changes, so the item's next edit need not copy it then.
class ScorerCopy {
public:
    explicit ScorerCopy(velm::DataIO& data) : data_(data) {}
    ~ScorerCopy() { data_.Clear(); }
    ScorerCopy(const ScorerCopy&) = delete;
    ScorerCopy& operator=(const ScorerCopy&) = delete;

private:
    velm::DataIO& data_;
};

// What an item takes from the driver's static strings for one language.
struct StaticSelection {
    std::string staticXml;
    std::string language;
    std::string block;
    // The block parsed once, for the items that insert it; null when it does not parse alone.
    std::shared_ptr<velm::DataIO> parsedBlock;
    std::string appTitle;
    std::string fontName;
};

StaticSelection readStatics(const std::string& staticXml, const std::string& language)
{
    StaticSelection selection{staticXml, language, {}, {}, {}, {}};
    velm::DataIO statics;
    statics.LoadXml(staticXml);
    statics.FindElement("Root");
    statics.setFromRoot(true);
    const std::int32_t count = statics.ChildCount();
    for (std::int32_t i = 0; i < count; ++i) {
        statics.MoveToChild(i);
        if (statics.HasAttribute("Id") && statics.GetAttribute("Id").toString() == language) {
            selection.fontName = statics.GetAttribute("Font").toString();
            break;
        }
        statics.MoveToParent();
    }
    statics.setFromRoot(false);
    selection.block = statics.GetElementXml("Static");
    selection.appTitle = statics.FindElement("ApplicationTitle") ? statics.GetText().toString() : std::string();
    selection.parsedBlock = std::make_shared<velm::DataIO>();
    if (!vb::trapSilently([&] { selection.parsedBlock->LoadXml(selection.block); }))
        selection.parsedBlock.reset();
    return selection;
}

// The selection for these strings and language; a driver hands the same strings to every item
// it opens, so the last one read is kept rather than parsed again.
const StaticSelection& selectStatics(const std::string& staticXml, const std::string& language)
{
    thread_local std::optional<StaticSelection> last;
    if (!last || last->staticXml != staticXml || last->language != language)
        last = readStatics(staticXml, language);
    return *last;
}

// The item document a driver's fast rescoring hands over with every response, loaded once for
// as long as the same bytes come; malformed bytes raise as loading them always did.
struct QuickDocument {
    velm::ByteArray bytes;
    velm::DataIO data;
    // Whether a State put in this document lands as the item element's last element and its first
    // State; every State lands in the same place, so this is found once.
    std::optional<bool> stateIsLast;
    // The revision of the document that last received a State from this one, when the next State
    // may be put in its place there; 0 otherwise.
    std::uint64_t stateRevision = 0;
};

// Whether the document's first State is the item element's last element. Putting another State
// in place of that one puts it in the same place, first again: so a State written and replaced in
// turn ends as if only the second had been written, and the scorer reads the State written.
bool stateIsItemsLast(velm::DataIO& data)
{
    SavedPlace place(data);
    data.setFromRoot(true);
    if (!data.FindElement("MultipleChoiceItem") || !data.MoveToChild(data.ChildCount() - 1))
        return false;
    const auto last = data.GetPosition();
    return data.FindElement("State") && data.GetPosition() == last;
}

QuickDocument& quickDocument(const velm::ByteArray& bytes)
{
    thread_local std::unique_ptr<QuickDocument> last;
    if (!last || last->bytes != bytes) {
        auto loaded = std::make_unique<QuickDocument>();
        loaded->data.LoadXml(vb::textFromBytes(bytes));
        loaded->bytes = bytes;
        last = std::move(loaded);
    }
    return *last;
}

}  // namespace

std::shared_ptr<clsMultipleChoice> clsMultipleChoice::create()
{
    std::shared_ptr<clsMultipleChoice> component(new clsMultipleChoice());
    component->initialize();
    return component;
}

void clsMultipleChoice::initialize()
{
    moErrorDisplay = std::make_shared<clsErrorDisplay>();
    moErrorDisplay->setParentClass(weak_from_this());
    moItemData = std::make_shared<velm::DataIO>();
    moItemData->setOwner(weak_from_this());
    moScorer = std::make_shared<velm::ItemScorer>();
    moStatus = std::make_shared<clsStatus>();
    moStatus->setParentClass(weak_from_this());
    moStatus->setDataIO(moItemData);
    // The modules report through the same display (SetErrorDisplay).
    goErrorDisplay = moErrorDisplay;
}

clsMultipleChoice::~clsMultipleChoice() = default;

std::string clsMultipleChoice::AppVersion() const
{
    return std::to_string(QUORIN_VERSION_MAJOR) + "." + std::to_string(QUORIN_VERSION_MINOR) + "."
           + std::to_string(QUORIN_VERSION_PATCH);
}

velm::DataIO& clsMultipleChoice::ItemData() const
{
    if (!moItemData)
        vb::raise(vb::err::kObjectNotSet);
    if (mbAnswersPending)
        writePendingAnswers();
    return *moItemData;
}

velm::ParentInt& clsMultipleChoice::support() const
{
    if (!mExtParent)
        vb::raise(vb::err::kObjectNotSet);
    return *mExtParent;
}

frmMain& clsMultipleChoice::mainFormOrRaise() const
{
    if (!moMainForm)
        vb::raise(vb::err::kObjectNotSet);
    return *moMainForm;
}

vb::ErrorReporter* clsMultipleChoice::errorDisplay() const
{
    return moErrorDisplay.get();
}

void clsMultipleChoice::logNote(std::string_view routine, std::string_view text) const
{
    support().LogNote(std::string(kModuleName), std::string(routine), std::string(text));
}

std::vector<platform::Form*> clsMultipleChoice::loadedForms() const
{
    std::vector<platform::Form*> forms;
    if (moMainForm)
        forms.push_back(moMainForm.get());
    if (moExhibitForm && moExhibitForm->isLoaded())
        forms.push_back(moExhibitForm.get());
    return forms;
}

std::int32_t clsMultipleChoice::DisplayInt_hwnd()
{
    std::int32_t handle = 0;
    vb::trap(errorDisplay(), "DisplayInt_hwnd_Get", [&] {
        for (const platform::Form* form : loadedForms()) {
            const bool ignored = std::find(std::begin(kIgnoredWindowNames), std::end(kIgnoredWindowNames), form->Name())
                                 != std::end(kIgnoredWindowNames);
            if (form->Visible() && !ignored)
                handle = form->hWnd();
        }
    });
    return handle;
}

void clsMultipleChoice::DisplayInt_ExternalSupport(const std::shared_ptr<velm::ParentInt>& cSupport)
{
    vb::trap(errorDisplay(), "ExternalSupport_Set", [&] {
        if (!cSupport)
            throw vb::ComError(vb::kObjectErrorBase, "External Support is nothing", "Multiple Choice");
        mExtParent = cSupport;
        msStaticXml = mExtParent->GetLocalizePath("HDStatic.xml");
    });
}

std::int32_t clsMultipleChoice::DisplayInt_SetParentWnd(std::int32_t hParentWnd)
{
    mlParenthWnd = hParentWnd;
    return hParentWnd;
}

bool clsMultipleChoice::DisplayInt_InitExternalDisplay(const velm::ByteArray& arInit, std::int32_t,
                                                       std::int32_t lOptions)
{
    static constexpr std::string_view kRoutine = "InitExternalDisplay";
    logNote(kRoutine, "Start");
    bool result = false;
    vb::trap(errorDisplay(), kRoutine, [&] {
        // A second initialisation would orphan the first window and its candidate's work.
        if (moMainForm)
            throw vb::ComError(vb::err::kInvalidProcedureCall, "The item is already initialised",
                               std::string(kModuleName));
        loadItemDefinition(arInit);
        auto& data = ItemData();
        findItemElement(data);
        const std::string language = data.GetAttribute("Language").toString();
        mFontReg = platform::Font("", kItemFontSize, false);
        mFontBld = platform::Font("", kItemFontSize, true);
        insertStaticBlock(language);
        logNote(kRoutine, "about to init main form");
        ensureState();
        createMainForm(lOptions);
        data.MoveToRoot();
        const std::string caseCode = data.GetAttribute("CaseCode").toString();
        if (!caseCode.empty() && vb::upperAscii(caseCode) != "NONE")
            bindCaseStudy(caseCode, lOptions);
        else
            parentMainForm();
        logNote(kRoutine, "Completed Init of item");
        RefreshDisplay.emit();
        logNote(kRoutine, "done refresh display");
        result = true;
        logNote(kRoutine, "End");
    });
    return result;
}

void clsMultipleChoice::loadItemDefinition(const velm::ByteArray& arInit)
{
    ItemData().LoadXml(vb::textFromBytes(arInit));
}

void clsMultipleChoice::insertStaticBlock(const std::string& language)
{
    // Five code points are at least five UTF-16 units, so the length test reads no further.
    if (msStaticXml == "0" || vb::utf16Length(vb::leftCodePoints(vb::trimView(msStaticXml, " "), 5)) < 5)
        throw vb::ComError(modFormFunctions::kStaticInformationError, "Missing Static information",
                           "InitExternalDisplay");
    const auto& statics = selectStatics(msStaticXml, language);
    auto& data = ItemData();
    data.setFromRoot(true);
    if (statics.parsedBlock)
        data.InsertCopy("MultipleChoiceItem", *statics.parsedBlock);
    else
        data.InsertXml("MultipleChoiceItem", statics.block);
    gsAppTitle = statics.appTitle;
    if (!statics.fontName.empty()) {
        mFontReg.setName(statics.fontName);
        mFontBld.setName(statics.fontName);
    }
}

// Makes sure a State with its Responses exists, which every selection and every score reads.
void clsMultipleChoice::ensureState()
{
    ItemState(ItemData()).ensure();
}

void clsMultipleChoice::createMainForm(std::int32_t lOptions)
{
    moMainForm = frmMain::create();
    moMainForm->setVisible(false);
    moMainForm->setReadOnly((lOptions & kReadOnlyOption) != 0);
    moMainForm->setShowAnswers((lOptions & kShowAnswersOption) != 0);
    if ((lOptions & kCalculatorOption) != 0)
        moMainForm->setParlaDriver(true);
    moMainForm->SetParentClass(shared_from_this());
    moMainForm->seterrordisplay(moErrorDisplay);
}

void clsMultipleChoice::parentMainForm()
{
    ItemData().MoveToRoot();
    auto& windows = platform::WindowSystem::instance();
    moMainForm->setPreviousParent(windows.setParent(moMainForm->hWnd(), mlParenthWnd));
}

void clsMultipleChoice::bindCaseStudy(const std::string& caseCode, std::int32_t lOptions)
{
    static constexpr std::string_view kRoutine = "InitExternalDisplay";
    logNote(kRoutine, "about to init Case study");
    logNote(kRoutine, "about load Case study xml file");
    velm::ByteArray caseFile;
    std::int32_t bytes = FileFromDisk(support().GetGraphicsPath(caseCode + ".xml"), caseFile);
    if (bytes <= 0) {
        modFormFunctions::ShowMsg(*this, "Can't find case study for this item.  Looking for " + caseCode, 0);
        parentMainForm();
        return;
    }
    mbCaseStudy = true;
    logNote(kRoutine, "create Case study object");
    moCaseStudy = platform::ComponentRegistry::instance().createAs<CaseStudyInt>(kCaseStudyProgId);
    moCaseStudy->DisplayInt_SetParentWnd(mlParenthWnd);
    auto caseSupport = mExtParent;
    std::int32_t options = lOptions;
    moCaseStudy->InitCaseStudy(caseFile, bytes, options, caseSupport, "Question");
    // A case study that hands back no support object would leave every later driver call failing.
    if (caseSupport)
        mExtParent = caseSupport;
    moMainForm->setCaseStudy(true);
    const std::int32_t caseWindow = moCaseStudy->getCaseParent();
    moMainForm->setPreviousParent(platform::WindowSystem::instance().setParent(moMainForm->hWnd(), caseWindow));
    logNote(kRoutine, "done init Case study");
}

// The whole file, or 0 when it cannot be read; a case file too large for a byte count is unreadable.
std::int32_t clsMultipleChoice::FileFromDisk(const std::string& sPath, velm::ByteArray& arBytes)
{
    static constexpr std::string_view kRoutine = "FileFromDisk";
    if (sPath.empty())
        return 0;
    logNote(kRoutine, "about to load case study file from disk");
    std::error_code error;
    if (!std::filesystem::is_regular_file(sPath, error))
        return 0;
    const auto size = std::filesystem::file_size(sPath, error);
    if (error || size > static_cast<std::uintmax_t>(std::numeric_limits<std::int32_t>::max()))
        return 0;
    std::ifstream file(sPath, std::ios::binary);
    velm::ByteArray bytes(static_cast<std::size_t>(size));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        return 0;
    arBytes = std::move(bytes);
    logNote(kRoutine, "done loading case study file from disk");
    return static_cast<std::int32_t>(arBytes.size());
}

CaseStudyInt& clsMultipleChoice::caseStudyOrRaise() const
{
    if (!moCaseStudy)
        vb::raise(vb::err::kObjectNotSet);
    return *moCaseStudy;
}

bool clsMultipleChoice::DisplayInt_ShowExternalDisplay(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth,
                                                       std::int32_t lHeight)
{
    return showOrResize("ShowExternalDisplay", &CaseStudyInt::DisplayInt_ShowExternalDisplay, lLeft, lTop, lWidth,
                        lHeight);
}

bool clsMultipleChoice::DisplayInt_ResizeExternalDisplay(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth,
                                                         std::int32_t lHeight)
{
    return showOrResize("ResizeExternalDisplay", &CaseStudyInt::DisplayInt_ResizeExternalDisplay, lLeft, lTop,
                        std::max(lWidth, kMinimumResizeWidth), std::max(lHeight, kMinimumResizeHeight));
}

bool clsMultipleChoice::showOrResize(std::string_view routine, CaseStudyPlacement placeCaseStudy, std::int32_t lLeft,
                                     std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight)
{
    bool result = false;
    vb::trap(errorDisplay(), routine, [&] {
        mlLeft = lLeft;
        mlTop = lTop;
        mlWidth = lWidth;
        mlHeight = lHeight;
        logNote(routine, "lLeft: " + std::to_string(mlLeft) + ", lTop: " + std::to_string(mlTop)
                             + ", lWidth: " + std::to_string(mlWidth) + ", lHeight: " + std::to_string(mlHeight));
        if (mbCaseStudy) {
            // The case study gets copies: only QuestionSize may change the item's rectangle.
            std::int32_t left = mlLeft;
            std::int32_t top = mlTop;
            std::int32_t width = mlWidth;
            std::int32_t height = mlHeight;
            (caseStudyOrRaise().*placeCaseStudy)(left, top, width, height);
            caseStudyOrRaise().QuestionSize(mlLeft, mlTop, mlWidth, mlHeight);
        }
        ResizeDisplay.emit(mlLeft, mlTop, mlWidth, mlHeight);
        result = true;
    });
    return result;
}

bool clsMultipleChoice::DisplayInt_HideExternalDisplay()
{
    bool result = false;
    vb::trap(errorDisplay(), "DisplayInt_HideExternalDisplay", [&] {
        if (mbCaseStudy)
            caseStudyOrRaise().DisplayInt_HideExternalDisplay();
        mainFormOrRaise().Hide();
        result = true;
    });
    return result;
}

void clsMultipleChoice::DisplayInt_GetExternalDisplayStatus(std::int32_t& lDispState, bool& bViewedAll,
                                                            std::string& sStateMsg)
{
    static constexpr std::string_view kRoutine = "GetExternalDisplayStatus";
    vb::trap(errorDisplay(), kRoutine, [&] {
        logNote(kRoutine, "Start");
        if (moCaseStudy)
            moCaseStudy->DisplayInt_GetExternalDisplayStatus(lDispState, bViewedAll, sStateMsg);
        if (!moStatus)
            vb::raise(vb::err::kObjectNotSet);
        // The status reads the document itself, so the last rescoring's answers must be in it.
        ItemData();
        lDispState = moStatus->AnswerStatus();
        bViewedAll = mainFormOrRaise().ViewedAll();
        logNote(kRoutine, "End");
    });
}

bool clsMultipleChoice::DisplayInt_FreeExternalDisplay()
{
    static constexpr std::string_view kRoutine = "FreeExternalDisplay";
    bool result = false;
    vb::trap(errorDisplay(), "DisplayInt_FreeExternalDisplay", [&] {
        logNote(kRoutine, "Start");
        releaseExhibitForm();
        if (moMainForm) {
            moMainForm->release();
            moMainForm.reset();
        }
        if (mbCaseStudy && moCaseStudy)
            moCaseStudy->DisplayInt_FreeExternalDisplay();
        if (moItemData)
            moItemData->Clear();
        mbAnswersPending = false;
        mQuietRevision = 0;
        moCaseStudy.reset();
        moScorer.reset();
        if (moStatus) {
            moStatus->setParentClass({});
            moStatus->setDataIO(nullptr);
            moStatus.reset();
        }
        moItemData.reset();
        moErrorDisplay->setParentClass({});
        result = true;
        logNote(kRoutine, "End");
        mExtParent.reset();
    });
    return result;
}

void clsMultipleChoice::ShowActiveExhibit(const std::string& sProgid, const std::string& sDataFile, bool bSelfClose)
{
    vb::trap(errorDisplay(), "ShowActiveExhibit", [&] {
        if (moExhibitForm) {
            moExhibitForm->CloseItem();
            moExhibitForm.reset();
        }
        moExhibitForm = frmActExb::create();
        moExhibitForm->seterrordisplay(moErrorDisplay);
        moExhibitForm->setProgid(sProgid);
        moExhibitForm->setDataPath(support().GetGraphicsPath(sDataFile));
        moExhibitForm->setSelfClose(bSelfClose);
        moExhibitForm->SetParentClass(shared_from_this());
        moExhibitForm->setParentSupport(mExtParent);
        moExhibitForm->setParenthWnd(std::to_string(mlParenthWnd));
        moExhibitForm->setPreviousParent(
            platform::WindowSystem::instance().setParent(moExhibitForm->hWnd(), mlParenthWnd));
        moExhibitForm->InitItem();
        moExhibitForm->Move(0, 0, static_cast<float>(mlWidth), static_cast<float>(mlHeight));
        moExhibitForm->Show();
        moExhibitForm->ShowItem();
    });
}

void clsMultipleChoice::releaseExhibitForm()
{
    if (!moExhibitForm)
        return;
    const auto form = std::move(moExhibitForm);
    form->setVisible(false);
    platform::WindowSystem::instance().setParent(form->hWnd(), form->PreviousParent());
    form->SetParentClass(nullptr);
    form->Unload();
}

std::string clsMultipleChoice::readStateText() const
{
    return ItemState(ItemData()).xml();
}

std::int32_t clsMultipleChoice::DisplayInt_GetExternalStateBytes()
{
    std::int32_t bytes = 0;
    vb::trap(errorDisplay(), "GetExternalStateBytes", [&] {
        SetState.emit();
        bytes = kCaseMarkerBytes + byteLength(readStateText());
    });
    return bytes;
}

void clsMultipleChoice::DisplayInt_GetExternalStateArray(velm::ByteArray& arState, std::int32_t lBytes)
{
    vb::trap(errorDisplay(), "GetExternalStateArray", [&] { copyTextToArray(readStateText(), arState, lBytes); });
}

void clsMultipleChoice::DisplayInt_SetExternalStateArray(const velm::ByteArray& arState, std::int32_t)
{
    static constexpr std::string_view kRoutine = "SetExternalStateArray";
    vb::trap(errorDisplay(), kRoutine, [&] {
        logNote(kRoutine, "Start");
        replaceState(vb::trim(vb::textFromBytes(arState)));
    });
    vb::trap(errorDisplay(), kRoutine, [&] {
        LoadState.emit();
        logNote(kRoutine, "End");
    });
}

// Puts stateText in place of the item's State. The text is checked before the old State goes,
// so a damaged text never leaves the item without one; a text of two characters or fewer
// gives the empty State that initialisation creates.
void clsMultipleChoice::replaceState(const std::string& stateText)
{
    // No UTF-16 unit comes from more than four bytes, so a longer text is never two units or fewer.
    if (stateText.size() <= 8 && vb::utf16Length(stateText) <= 2)
        return replaceCheckedState(nullptr);
    velm::DataIO state;
    loadStateText(state, stateText);
    replaceCheckedState(&state);
}

void clsMultipleChoice::replaceCheckedState(const velm::DataIO* state)
{
    // Answers left aside were headed for the State this one replaces: writing them first would
    // end the same.
    mbAnswersPending = false;
    auto& data = ItemData();
    SavedPlace place(data);
    findItemElement(data);
    ItemState(data).replace(state);
}

std::optional<std::string> clsMultipleChoice::responseText(std::int32_t lRespType)
{
    auto& data = ItemData();
    SavedPosition place(data);
    data.setFromRoot(true);
    data.MoveToRoot();
    const std::string responseType = data.GetAttribute("ResponseType").toString();
    std::string xml;
    if (lRespType == 1) {
        if (!data.FindElement("State"))
            return std::nullopt;
        xml = data.GetElementXml("Responses");
    } else if (lRespType == 0) {
        xml = data.GetElementXml("Answers");
    } else {
        return std::nullopt;
    }
    // A missing key or response list reads as an empty one rather than as damaged XML.
    if (xml.empty())
        xml = lRespType == 0 ? "<Answers/>" : "<Responses/>";
    if (responseType == "S")
        return ResponseFormats::GetShortResponse(xml);
    if (responseType == "N")
        return xml;
    return lRespType == 0 ? ConvertKey(xml) : ResponseFormats::ConvertResponse(xml, errorDisplay());
}

bool clsMultipleChoice::DisplayInt_GetResponse(std::int32_t lRespType, velm::ByteArray& arResponse,
                                               std::int32_t lBuffer)
{
    bool result = false;
    vb::trap(errorDisplay(), "GetResponse", [&] {
        if (const auto text = responseText(lRespType))
            copyTextToArray(*text, arResponse, lBuffer);
        result = true;
    });
    return result;
}

std::int32_t clsMultipleChoice::DisplayInt_GetResponseBytes(std::int32_t lRespType, bool& bIsASCII)
{
    std::int32_t bytes = 0;
    vb::trap(errorDisplay(), "GetResponseBytes", [&] {
        bIsASCII = true;
        bytes = byteLength(responseText(lRespType).value_or(std::string()));
    });
    return bytes;
}

std::string clsMultipleChoice::ConvertKey(const std::string& sKey)
{
    return ResponseFormats::ConvertKey(sKey, errorDisplay());
}

void clsMultipleChoice::prepareScorer()
{
    if (!moScorer)
        vb::raise(vb::err::kObjectNotSet);
    if (!moScorer->Data())
        moScorer->setData(std::make_shared<velm::DataIO>());
    moScorer->Data()->LoadFrom(ItemData());
}

void clsMultipleChoice::setNotAttempted(const ScoreCounts& counts)
{
    counts.nNotAttempted = 1;
    counts.nNotScored = 1;
}

void clsMultipleChoice::setScored(const ScoreCounts& counts, double raw)
{
    counts.fRawScore = std::isnan(raw) ? static_cast<float>(raw) : vb::toSingle(raw);
    if (counts.fRawScore > 0)
        counts.nCorrect = 1;
    else
        counts.nIncorrect = 1;
}

bool clsMultipleChoice::countScore(const ScoreCounts& counts, bool logNotAttempted)
{
    const auto answered = ItemState(ItemData()).responseCount();
    if (!answered)
        return false;
    if (*answered == 0) {
        setNotAttempted(counts);
        if (logNotAttempted)
            logNote("Score external display", "nNotAttempted: " + std::to_string(counts.nNotAttempted));
        return false;
    }
    prepareScorer();
    const ScorerCopy copy(*moScorer->Data());
    setScored(counts, moScorer->RawScore());
    return true;
}

bool clsMultipleChoice::rescoreQuietly(std::vector<std::string>& answers, const ScoreCounts& counts)
{
    if (mQuietRevision == 0 || moItemData->Revision() != mQuietRevision)
        return false;
    if (answers.empty())
        setNotAttempted(counts);
    else
        setScored(counts, moScorer->RawScoreAgain(answers));
    mPendingAnswers.swap(answers);
    mbAnswersPending = true;
    return true;
}

void clsMultipleChoice::noteQuietDocument() const
{
    mQuietRevision = stateIsItemsLast(*moItemData) ? moItemData->Revision() : 0;
}

void clsMultipleChoice::writePendingAnswers() const
{
    mbAnswersPending = false;
    {
        SavedPlace place(*moItemData);
        ItemState(*moItemData).replace(&moRescoreResponses->listState(mPendingAnswers));
    }
    noteQuietDocument();
}

bool clsMultipleChoice::DisplayInt_ScoreExternalDisplay(std::int16_t& nCorrect, std::int16_t& nIncorrect,
                                                        std::int16_t& nNotAttempted, std::int16_t& nNotScored,
                                                        float& fRawScore)
{
    nCorrect = nIncorrect = nNotAttempted = nNotScored = 0;
    fRawScore = 0;
    bool result = false;
    vb::trap(errorDisplay(), "DisplayInt_ScoreExternalDisplay", [&] {
        countScore({nCorrect, nIncorrect, nNotAttempted, nNotScored, fRawScore}, true);
        result = true;
    });
    return result;
}

bool clsMultipleChoice::DisplayInt_RescoreExternalDisplay(const velm::ByteArray& arResponse, std::int32_t lRespBytes,
                                                          std::int16_t& nCorrect, std::int16_t& nIncorrect,
                                                          std::int16_t& nNotAttempted, std::int16_t& nNotScored,
                                                          float& fRawScore)
{
    nCorrect = nIncorrect = nNotAttempted = nNotScored = 0;
    fRawScore = 0;
    if (lRespBytes < 1)
        return true;
    bool result = false;
    vb::trap(errorDisplay(), "DisplayInt_RescoreExternalDisplay", [&] {
        if (!moRescoreResponses)
            moRescoreResponses = std::make_shared<RescoreResponses>();
        auto& responses = *moRescoreResponses;
        const ScoreCounts counts{nCorrect, nIncorrect, nNotAttempted, nNotScored, fRawScore};
        // A failed conversion has been reported already and must not cost the item its state.
        if (!responses.read(vb::textFromBytes(arResponse), errorDisplay()))
            return;
        if (responses.isList() && rescoreQuietly(responses.answers(), counts)) {
            result = true;
            return;
        }
        if (responses.isList())
            replaceCheckedState(&responses.listState(responses.answers()));
        else
            replaceState(responses.stateText());
        if (countScore(counts, false))
            noteQuietDocument();
        result = true;
    });
    return result;
}

bool clsMultipleChoice::DisplayInt_RescoreExternalDisplayQuick(const velm::ByteArray& arResponse,
                                                               std::int32_t lRespBytes, std::int16_t& nCorrect,
                                                               std::int16_t& nIncorrect, std::int16_t& nNotAttempted,
                                                               std::int16_t& nNotScored, float& fRawScore,
                                                               const velm::ByteArray& XMLBA, std::int32_t&)
{
    nCorrect = nIncorrect = nNotAttempted = nNotScored = 0;
    fRawScore = 0;
    if (lRespBytes < 1)
        return true;
    bool result = false;
    vb::trap(errorDisplay(), "RescoreExternalDisplayQuick", [&] {
        // Checked before the document is replaced, so a damaged response leaves the item as it was.
        velm::DataIO state;
        loadStateText(state, "<State>" + vb::textFromBytes(arResponse) + "</State>");
        auto& quick = quickDocument(XMLBA);
        auto& data = ItemData();
        // A document untouched since the last response only differs from the handed one in a State
        // that this one's replaces.
        const bool inPlace = data.Revision() == quick.stateRevision;
        quick.stateRevision = 0;
        data.LoadFrom(inPlace ? data : quick.data);
        replaceCheckedState(&state);
        if (!quick.stateIsLast)
            quick.stateIsLast = stateIsItemsLast(data);
        quick.stateRevision = *quick.stateIsLast ? data.Revision() : 0;
        countScore({nCorrect, nIncorrect, nNotAttempted, nNotScored, fRawScore}, false);
        result = true;
    });
    return result;
}

bool clsMultipleChoice::DisplayInt_GetScoreInfo(std::int16_t& nItems, float& fMaxScore, float& fMinScore)
{
    bool result = false;
    vb::trap(errorDisplay(), "GetScoreInfo", [&] {
        nItems = 1;
        prepareScorer();
        const ScorerCopy copy(*moScorer->Data());
        fMaxScore = vb::toSingle(moScorer->MaxScore());
        fMinScore = vb::toSingle(moScorer->MinScore());
        result = true;
    });
    return result;
}

}  // namespace quorin
