#include "companions/clsExtDisplay.h"

#include "companions/InitFileMarkup.h"
#include "platform/ComponentRegistry.h"
#include "support/ItemParent.h"
#include "support/clsErrorDisplay.h"
#include "vb/Trap.h"

#include <fstream>
#include <iterator>

namespace quorin {
namespace {

constexpr std::int32_t kReadOnlyOption = 1;
constexpr std::int32_t kShowAnswersOption = 16;
constexpr std::int32_t kMissingInitFile = static_cast<std::int32_t>(0x800403E9u);

// The whole file as bytes; an empty name gives none, a file that cannot be read error 53.
vb::ByteArray ReadFileBytes(const std::string& path)
{
    if (path.empty())
        return {};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        vb::raise(vb::err::kFileNotFound);
    return vb::ByteArray(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::shared_ptr<clsExtDisplay> clsExtDisplay::create()
{
    return std::make_shared<clsExtDisplay>();
}

clsExtDisplay::clsExtDisplay() : moErrorDisplay(std::make_shared<clsErrorDisplay>()) {}

clsExtDisplay::~clsExtDisplay() = default;

velm::DisplayInt& clsExtDisplay::childOrRaise() const
{
    if (!mChild)
        vb::raise(vb::err::kObjectNotSet);
    return *mChild;
}

velm::ParentInt& clsExtDisplay::driver() const
{
    const auto parent = moParent.lock();
    if (!parent)
        vb::raise(vb::err::kObjectNotSet);
    return parent->support();
}

// ---------------------------------------------------------------------------------------------
// The driver, as the child sees it

std::string clsExtDisplay::GetLocalizePath(const std::string& vInfo)
{
    std::string result;
    vb::trap(moErrorDisplay.get(), "GetLocalizePath_Get", [&] { result = driver().GetLocalizePath(vInfo); });
    return result;
}

std::string clsExtDisplay::GetExamTitle(const std::string& vInfo)
{
    std::string result;
    vb::trap(moErrorDisplay.get(), "GetExamTitle", [&] { result = driver().GetExamTitle(vInfo); });
    return result;
}

std::string clsExtDisplay::GetExamName(const std::string& vInfo)
{
    std::string result;
    vb::trap(moErrorDisplay.get(), "GetExamName", [&] { result = driver().GetExamName(vInfo); });
    return result;
}

std::string clsExtDisplay::GetSupportFileDir(const std::string& vInfo)
{
    std::string result;
    vb::trap(moErrorDisplay.get(), "GetSupportFileDir", [&] { result = driver().GetSupportFileDir(vInfo); });
    return result;
}

std::string clsExtDisplay::GetGraphicsPath(const std::string& vInfo)
{
    std::string result;
    vb::trap(moErrorDisplay.get(), "GetGraphicsPath", [&] { result = driver().GetGraphicsPath(vInfo); });
    return result;
}

std::int32_t clsExtDisplay::ShowMessage(const std::string& sMessageText, std::int32_t MsgBoxStyle,
                                        const std::string& sApplicationTitle)
{
    std::int32_t result = 0;
    vb::trap(moErrorDisplay.get(), "ShowMessage",
             [&] { result = driver().ShowMessage(sMessageText, MsgBoxStyle, sApplicationTitle); });
    return result;
}

bool clsExtDisplay::LogError(std::int32_t lNumber, const std::string& sDescription, const std::string& sApp,
                             const std::string& sModule, const std::string& sRoutine, std::int32_t lErl)
{
    const vb::ComError error(lNumber, sDescription, sApp + " - " + sModule + " - Line No=" + std::to_string(lErl));
    // A child's report that cannot be delivered must not fail back into the child.
    vb::trapSilently([&] { vb::report(moErrorDisplay.get(), sRoutine, error); });
    return false;
}

void clsExtDisplay::LogNote(const std::string& ModuleName, const std::string& Routine, const std::string& OtherInfo)
{
    driver().LogNote(ModuleName, Routine, OtherInfo);
}

void clsExtDisplay::LogWarning(const std::string& ModuleName, const std::string& Routine, const std::string& OtherInfo)
{
    driver().LogWarning(ModuleName, Routine, OtherInfo);
}

void clsExtDisplay::Navigate(std::int32_t Command)
{
    driver().Navigate(Command);
}

// ---------------------------------------------------------------------------------------------
// The child, as the exhibit window drives it

bool clsExtDisplay::Display(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight)
{
    return vb::trap(moErrorDisplay.get(), "Display",
                    [&] { childOrRaise().ShowExternalDisplay(lLeft, lTop, lWidth, lHeight); });
}

void clsExtDisplay::FreeDisplay()
{
    vb::trap(moErrorDisplay.get(), "FreeDisplay", [&] {
        if (!mChild)
            return;
        const auto child = mChild;
        child->FreeExternalDisplay();
        mChild.reset();
    });
}

bool clsExtDisplay::GetResponse(std::int32_t lRespType, velm::ByteArray& arResponse, std::int32_t lBuffer)
{
    return childOrRaise().GetResponse(lRespType, arResponse, lBuffer);
}

std::int32_t clsExtDisplay::GetResponseBytes(std::int32_t lRespType, bool& bIsASCII)
{
    return childOrRaise().GetResponseBytes(lRespType, bIsASCII);
}

std::int32_t clsExtDisplay::GetExternalStateBytes()
{
    return childOrRaise().GetExternalStateBytes();
}

void clsExtDisplay::GetExternalStateArray(velm::ByteArray& arState, std::int32_t lBytes)
{
    childOrRaise().GetExternalStateArray(arState, lBytes);
}

void clsExtDisplay::SetExternalStateArray(const velm::ByteArray& arState, std::int32_t lBytes)
{
    childOrRaise().SetExternalStateArray(arState, lBytes);
}

bool clsExtDisplay::GetScoreInfo(std::int16_t& nItems, float& fMaxScore, float& fMinScore)
{
    return childOrRaise().GetScoreInfo(nItems, fMaxScore, fMinScore);
}

bool clsExtDisplay::ScoreExternalDisplay(std::int16_t& nCorrect, std::int16_t& nIncorrect, std::int16_t& nNotAttempted,
                                         std::int16_t& nNotScored, float& fRawScore)
{
    return childOrRaise().ScoreExternalDisplay(nCorrect, nIncorrect, nNotAttempted, nNotScored, fRawScore);
}

bool clsExtDisplay::RescoreExternalDisplay(const velm::ByteArray& arResponse, std::int32_t lRespBytes,
                                           std::int16_t& nCorrect, std::int16_t& nIncorrect,
                                           std::int16_t& nNotAttempted, std::int16_t& nNotScored, float& fRawScore)
{
    return childOrRaise().RescoreExternalDisplay(arResponse, lRespBytes, nCorrect, nIncorrect, nNotAttempted,
                                                 nNotScored, fRawScore);
}

void clsExtDisplay::GetExternalDisplayStatus(std::int32_t& lDispState, bool& bViewedAll, std::string& sStateMsg)
{
    vb::trap(moErrorDisplay.get(), "GetState",
             [&] { childOrRaise().GetExternalDisplayStatus(lDispState, bViewedAll, sStateMsg); });
}

bool clsExtDisplay::RescoreExternalDisplayQuick(const velm::ByteArray& arResponse, std::int32_t lRespBytes,
                                                std::int16_t& nCorrect, std::int16_t& nIncorrect,
                                                std::int16_t& nNotAttempted, std::int16_t& nNotScored, float& fRawScore,
                                                const velm::ByteArray& XMLBA, std::int32_t& lArrayLen)
{
    bool result = false;
    vb::trap(moErrorDisplay.get(), "RescoreExternalDisplayQuick", [&] {
        result = childOrRaise().RescoreExternalDisplayQuick(arResponse, lRespBytes, nCorrect, nIncorrect, nNotAttempted,
                                                            nNotScored, fRawScore, XMLBA, lArrayLen);
    });
    return result;
}

bool clsExtDisplay::Hide()
{
    vb::trap(moErrorDisplay.get(), "Hide", [&] {
        if (mChild)
            mChild->HideExternalDisplay();
    });
    return true;
}

void clsExtDisplay::setParent(const std::shared_ptr<ItemParent>& parent)
{
    moParent = parent;
    moErrorDisplay->setParentClass(parent);
}

std::int32_t clsExtDisplay::hwnd()
{
    return mChild ? mChild->hwnd() : 0;
}

bool clsExtDisplay::InitDisplay(bool breadonly, bool bshowanswers)
{
    return vb::trap(moErrorDisplay.get(), "InitDisplay", [&] {
        mChild.reset();
        mChild = platform::ComponentRegistry::instance().createAs<velm::DisplayInt>(msExtClassName);
        mChild->ExternalSupport(shared_from_this());
        mChild->SetParentWnd(mlhWnd);
        if (msInitFile.empty())
            throw vb::ComError(kMissingInitFile, "The initilization file for the active exhibit cannot be found.",
                               "InitDisplay");
        const auto file = stripInitFileMarkup(ReadFileBytes(msInitFile));
        const std::int32_t options = (breadonly ? kReadOnlyOption : 0) + (bshowanswers ? kShowAnswersOption : 0);
        mChild->InitExternalDisplay(file, static_cast<std::int32_t>(file.size()), options);
    });
}

bool clsExtDisplay::Resize(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight)
{
    vb::trap(moErrorDisplay.get(), "Resize", [&] {
        if (mChild)
            mChild->ResizeExternalDisplay(lLeft, lTop, lWidth, lHeight);
    });
    return true;
}

std::string clsExtDisplay::responseText(std::int32_t lRespType)
{
    bool isAscii = false;
    const auto bytes = mChild->GetResponseBytes(lRespType, isAscii);
    if (bytes < 1)
        return {};
    velm::ByteArray response(static_cast<std::size_t>(bytes), 0);
    mChild->GetResponse(lRespType, response, bytes);
    return vb::textFromBytes(response);
}

bool clsExtDisplay::Score(std::int32_t, const std::string&, std::int16_t& nItems, std::int16_t& nCorrect,
                          float& fRawScore, float& fMinScore, float& fMaxScore, std::string& sResponse,
                          std::string& sCorrectResp, std::int16_t&, bool)
{
    vb::trap(moErrorDisplay.get(), "Score", [&] {
        if (!mChild)
            return;
        nCorrect = 0;
        fRawScore = fMinScore = fMaxScore = 0;
        std::int16_t incorrect = 0;
        std::int16_t notAttempted = 0;
        std::int16_t notScored = 0;
        mChild->ScoreExternalDisplay(nCorrect, incorrect, notAttempted, notScored, fRawScore);
        nItems = static_cast<std::int16_t>(nCorrect + incorrect + notAttempted);
        velm::ByteArray state(static_cast<std::size_t>(std::max(0, mChild->GetExternalStateBytes())), 0);
        mChild->GetExternalStateArray(state, static_cast<std::int32_t>(state.size()));
        sResponse = responseText(1);
        sCorrectResp = responseText(0);
        mChild->GetScoreInfo(nItems, fMaxScore, fMinScore);
    });
    return false;
}

}  // namespace quorin
