#pragma once

#include "component/CaseStudyInt.h"
#include "platform/ComObject.h"
#include "platform/Font.h"
#include "support/ItemParent.h"
#include "vb/ErrorReporter.h"
#include "velm/DisplayInt.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Form;
}

namespace velm {
class DataIO;
class ItemScorer;
}  // namespace velm

namespace quorin {

class RescoreResponses;
class clsErrorDisplay;
class clsStatus;
class frmActExb;
class frmMain;

// The multiple-choice item display the driver creates by programmatic name and calls through
// velm::DisplayInt. It owns the item document, the scorer, the status, the error display and
// the item window, and drives the window through four notifications.
class clsMultipleChoice : public platform::ComObject,
                          public velm::DisplayInt,
                          public ItemParent,
                          public std::enable_shared_from_this<clsMultipleChoice> {
public:
    static constexpr std::string_view kModuleName = kComponentName;
    static constexpr std::string_view kProgId = "QuorinMultipleChoice.clsMultipleChoice";
    static constexpr std::string_view kClassId = "{25CF9467-62DF-4650-85BD-7D0AAB588217}";
    // The case study an item names in its "CaseCode" is created by this name.
    static constexpr std::string_view kCaseStudyProgId = "QuorinCaseStudy.clsCaseStudy";

    // Creates the component with its error display, item document, scorer and status.
    static std::shared_ptr<clsMultipleChoice> create();
    ~clsMultipleChoice() override;

    // Published fields.
    std::shared_ptr<velm::ParentInt> mExtParent;
    std::int32_t mlParenthWnd = 0;
    platform::Font mFontReg;
    platform::Font mFontBld;
    bool mbclosing = false;

    // Values the windows and modules of this instance share: the message-box caption and the
    // error display the modules report through.
    std::string gsAppTitle;
    std::shared_ptr<clsErrorDisplay> goErrorDisplay;

    // The component's own interface.
    std::string AppVersion() const;
    bool SelfNavigation() const { return false; }
    std::shared_ptr<velm::ParentInt> ExternalSupport() const { return mExtParent; }
    // ItemParent: what the windows and modules reach through the component.
    velm::DataIO& ItemData() const override;
    velm::ParentInt& support() const override;
    const platform::Font& itemFont() const override { return mFontReg; }
    const platform::Font& boldItemFont() const override { return mFontBld; }
    const std::string& appTitle() const override { return gsAppTitle; }
    clsErrorDisplay* moduleErrorDisplay() const override { return goErrorDisplay.get(); }
    std::int32_t parentWindow() const override { return mlParenthWnd; }
    void ShowActiveExhibit(const std::string& sProgid, const std::string& sDataFile, bool bSelfClose) override;
    // The open exhibit window; null when none is open.
    std::shared_ptr<frmActExb> exhibitForm() const { return moExhibitForm; }
    void logNote(std::string_view routine, std::string_view text) const override;
    // The item window; null before initialisation and after the item was freed.
    std::shared_ptr<frmMain> mainForm() const { return moMainForm; }
    // The bound case study; null for a plain item and after the item was freed.
    std::shared_ptr<CaseStudyInt> caseStudy() const { return moCaseStudy; }

    std::int32_t DisplayInt_hwnd();
    void DisplayInt_ExternalSupport(const std::shared_ptr<velm::ParentInt>& cSupport);
    void DisplayInt_GetExternalDisplayStatus(std::int32_t& lDispState, bool& bViewedAll, std::string& sStateMsg);
    std::int32_t DisplayInt_GetExternalStateBytes();
    void DisplayInt_GetExternalStateArray(velm::ByteArray& arState, std::int32_t lBytes);
    bool DisplayInt_GetResponse(std::int32_t lRespType, velm::ByteArray& arResponse, std::int32_t lBuffer);
    std::string ConvertKey(const std::string& sKey);
    std::int32_t DisplayInt_GetResponseBytes(std::int32_t lRespType, bool& bIsASCII);
    bool DisplayInt_GetScoreInfo(std::int16_t& nItems, float& fMaxScore, float& fMinScore);
    bool DisplayInt_HideExternalDisplay();
    bool DisplayInt_FreeExternalDisplay();
    bool DisplayInt_InitExternalDisplay(const velm::ByteArray& arInit, std::int32_t lInitBytes, std::int32_t lOptions);
    bool DisplayInt_RescoreExternalDisplay(const velm::ByteArray& arResponse, std::int32_t lRespBytes,
                                           std::int16_t& nCorrect, std::int16_t& nIncorrect,
                                           std::int16_t& nNotAttempted, std::int16_t& nNotScored, float& fRawScore);
    bool DisplayInt_RescoreExternalDisplayQuick(const velm::ByteArray& arResponse, std::int32_t lRespBytes,
                                                std::int16_t& nCorrect, std::int16_t& nIncorrect,
                                                std::int16_t& nNotAttempted, std::int16_t& nNotScored, float& fRawScore,
                                                const velm::ByteArray& XMLBA, std::int32_t& lArrayLen);
    bool DisplayInt_ResizeExternalDisplay(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth,
                                          std::int32_t lHeight);
    bool DisplayInt_ScoreExternalDisplay(std::int16_t& nCorrect, std::int16_t& nIncorrect, std::int16_t& nNotAttempted,
                                         std::int16_t& nNotScored, float& fRawScore);
    void DisplayInt_SetExternalStateArray(const velm::ByteArray& arState, std::int32_t lBytes);
    std::int32_t DisplayInt_SetParentWnd(std::int32_t hParentWnd);
    bool DisplayInt_ShowExternalDisplay(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth,
                                        std::int32_t lHeight);

    // velm::DisplayInt, forwarded to the members above.
    std::int32_t hwnd() override { return DisplayInt_hwnd(); }
    void ExternalSupport(const std::shared_ptr<velm::ParentInt>& cSupport) override
    {
        DisplayInt_ExternalSupport(cSupport);
    }
    void GetExternalDisplayStatus(std::int32_t& lDispState, bool& bViewedAll, std::string& sStateMsg) override
    {
        DisplayInt_GetExternalDisplayStatus(lDispState, bViewedAll, sStateMsg);
    }
    std::int32_t GetExternalStateBytes() override { return DisplayInt_GetExternalStateBytes(); }
    void GetExternalStateArray(velm::ByteArray& arState, std::int32_t lBytes) override
    {
        DisplayInt_GetExternalStateArray(arState, lBytes);
    }
    bool GetResponse(std::int32_t lRespType, velm::ByteArray& arResponse, std::int32_t lBuffer) override
    {
        return DisplayInt_GetResponse(lRespType, arResponse, lBuffer);
    }
    std::int32_t GetResponseBytes(std::int32_t lRespType, bool& bIsASCII) override
    {
        return DisplayInt_GetResponseBytes(lRespType, bIsASCII);
    }
    bool GetScoreInfo(std::int16_t& nItems, float& fMaxScore, float& fMinScore) override
    {
        return DisplayInt_GetScoreInfo(nItems, fMaxScore, fMinScore);
    }
    bool HideExternalDisplay() override { return DisplayInt_HideExternalDisplay(); }
    bool FreeExternalDisplay() override { return DisplayInt_FreeExternalDisplay(); }
    bool InitExternalDisplay(const velm::ByteArray& arInit, std::int32_t lInitBytes, std::int32_t lOptions) override
    {
        return DisplayInt_InitExternalDisplay(arInit, lInitBytes, lOptions);
    }
    bool RescoreExternalDisplay(const velm::ByteArray& arResponse, std::int32_t lRespBytes, std::int16_t& nCorrect,
                                std::int16_t& nIncorrect, std::int16_t& nNotAttempted, std::int16_t& nNotScored,
                                float& fRawScore) override
    {
        return DisplayInt_RescoreExternalDisplay(arResponse, lRespBytes, nCorrect, nIncorrect, nNotAttempted,
                                                 nNotScored, fRawScore);
    }
    bool RescoreExternalDisplayQuick(const velm::ByteArray& arResponse, std::int32_t lRespBytes, std::int16_t& nCorrect,
                                     std::int16_t& nIncorrect, std::int16_t& nNotAttempted, std::int16_t& nNotScored,
                                     float& fRawScore, const velm::ByteArray& XMLBA, std::int32_t& lArrayLen) override
    {
        return DisplayInt_RescoreExternalDisplayQuick(arResponse, lRespBytes, nCorrect, nIncorrect, nNotAttempted,
                                                      nNotScored, fRawScore, XMLBA, lArrayLen);
    }
    bool ResizeExternalDisplay(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth,
                               std::int32_t lHeight) override
    {
        return DisplayInt_ResizeExternalDisplay(lLeft, lTop, lWidth, lHeight);
    }
    bool ScoreExternalDisplay(std::int16_t& nCorrect, std::int16_t& nIncorrect, std::int16_t& nNotAttempted,
                              std::int16_t& nNotScored, float& fRawScore) override
    {
        return DisplayInt_ScoreExternalDisplay(nCorrect, nIncorrect, nNotAttempted, nNotScored, fRawScore);
    }
    void SetExternalStateArray(const velm::ByteArray& arState, std::int32_t lBytes) override
    {
        DisplayInt_SetExternalStateArray(arState, lBytes);
    }
    std::int32_t SetParentWnd(std::int32_t hParentWnd) override { return DisplayInt_SetParentWnd(hParentWnd); }
    bool ShowExternalDisplay(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight) override
    {
        return DisplayInt_ShowExternalDisplay(lLeft, lTop, lWidth, lHeight);
    }

private:
    clsMultipleChoice() = default;
    void initialize();

    void loadItemDefinition(const velm::ByteArray& arInit);
    void insertStaticBlock(const std::string& language);
    void ensureState();
    void createMainForm(std::int32_t lOptions);
    void parentMainForm();
    void bindCaseStudy(const std::string& caseCode, std::int32_t lOptions);
    std::int32_t FileFromDisk(const std::string& sPath, velm::ByteArray& arBytes);
    CaseStudyInt& caseStudyOrRaise() const;
    void releaseExhibitForm();
    using CaseStudyPlacement = void (CaseStudyInt::*)(std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&);
    bool showOrResize(std::string_view routine, CaseStudyPlacement placeCaseStudy, std::int32_t lLeft,
                      std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight);

    std::string readStateText() const;
    // Replaces the item's State with stateText, which must be one State element (raises otherwise).
    void replaceState(const std::string& stateText);
    // replaceState for a State already parsed and checked; nothing leaves the item without one.
    void replaceCheckedState(const velm::DataIO* state);
    std::optional<std::string> responseText(std::int32_t lRespType);

    struct ScoreCounts {
        std::int16_t& nCorrect;
        std::int16_t& nIncorrect;
        std::int16_t& nNotAttempted;
        std::int16_t& nNotScored;
        float& fRawScore;
    };
    // A response without answers: not attempted and not scored.
    static void setNotAttempted(const ScoreCounts& counts);
    // A response with answers that scored raw: correct when raw is above 0.
    static void setScored(const ScoreCounts& counts, double raw);
    // Counts the item's response; true when its answers were scored (there were some).
    bool countScore(const ScoreCounts& counts, bool logNotAttempted);
    void prepareScorer();
    // Rescoring while the document holds what the last rescoring left there: the answers are
    // scored by the keys read then and kept aside, to become the State only once something reads
    // the document (ItemData). False when the document has changed since.
    bool rescoreQuietly(std::vector<std::string>& answers, const ScoreCounts& counts);
    // Notes the document as one rescoring can leave aside, when its State is the item element's last.
    void noteQuietDocument() const;
    void writePendingAnswers() const;

    frmMain& mainFormOrRaise() const;
    std::vector<platform::Form*> loadedForms() const;
    vb::ErrorReporter* errorDisplay() const;

    std::shared_ptr<velm::DataIO> moItemData;
    std::shared_ptr<velm::ItemScorer> moScorer;
    // What the last rescoring text was read into, kept so that the next reuses it.
    std::shared_ptr<RescoreResponses> moRescoreResponses;
    // The answers of the last rescoring while they are not yet the document's State.
    mutable std::vector<std::string> mPendingAnswers;
    mutable bool mbAnswersPending = false;
    // The revision of the document a rescoring may leave aside; 0 when none.
    mutable std::uint64_t mQuietRevision = 0;
    std::shared_ptr<clsStatus> moStatus;
    std::shared_ptr<clsErrorDisplay> moErrorDisplay;
    std::string msStaticXml;
    std::int32_t mlLeft = 0;
    std::int32_t mlTop = 0;
    std::int32_t mlWidth = 0;
    std::int32_t mlHeight = 0;
    std::shared_ptr<frmMain> moMainForm;
    std::shared_ptr<frmActExb> moExhibitForm;
    std::shared_ptr<CaseStudyInt> moCaseStudy;
    bool mbCaseStudy = false;
};

}  // namespace quorin
