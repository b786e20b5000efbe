#pragma once

#include "velm/DisplayInt.h"
#include "velm/ParentInt.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quorin {

class ItemParent;
class clsErrorDisplay;

// One active exhibit: the child item display, created by its programmatic name and initialised
// from the exhibit's file, to which showing, hiding, resizing and freeing are passed on. To the
// child it stands as the driver: every support call goes on to the driver's own support object,
// and the child's errors are reported like the component's own.
class clsExtDisplay final : public velm::ParentInt, public std::enable_shared_from_this<clsExtDisplay> {
public:
    // A wrapper without a child, with its own error display.
    static std::shared_ptr<clsExtDisplay> create();
    clsExtDisplay();
    ~clsExtDisplay() override;

    // velm::ParentInt, as the child calls it: passed on to the component's support object.
    std::string GetLocalizePath(const std::string& vInfo) override;
    std::string GetExamTitle(const std::string& vInfo) override;
    std::string GetExamName(const std::string& vInfo) override;
    std::string GetSupportFileDir(const std::string& vInfo) override;
    std::string GetGraphicsPath(const std::string& vInfo) override;
    std::int32_t ShowMessage(const std::string& sMessageText, std::int32_t MsgBoxStyle,
                             const std::string& sApplicationTitle) override;
    // Reports the child's error through the wrapper's error display under the child's routine; false.
    bool LogError(std::int32_t lNumber, const std::string& sDescription, const std::string& sApp,
                  const std::string& sModule, const std::string& sRoutine, std::int32_t lErl) override;
    void LogNote(const std::string& ModuleName, const std::string& Routine, const std::string& OtherInfo) override;
    void LogWarning(const std::string& ModuleName, const std::string& Routine, const std::string& OtherInfo) override;
    void Navigate(std::int32_t Command) override;

    // Shows the child at the rectangle; true once it was asked, whatever it answered.
    bool Display(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight);
    // Frees the child and lets go of it; nothing without a child.
    void FreeDisplay();
    // Passed to the child unchanged; error 91 without a child.
    bool GetResponse(std::int32_t lRespType, velm::ByteArray& arResponse, std::int32_t lBuffer);
    std::int32_t GetResponseBytes(std::int32_t lRespType, bool& bIsASCII);
    std::int32_t GetExternalStateBytes();
    void GetExternalStateArray(velm::ByteArray& arState, std::int32_t lBytes);
    void SetExternalStateArray(const velm::ByteArray& arState, std::int32_t lBytes);
    bool GetScoreInfo(std::int16_t& nItems, float& fMaxScore, float& fMinScore);
    bool ScoreExternalDisplay(std::int16_t& nCorrect, std::int16_t& nIncorrect, std::int16_t& nNotAttempted,
                              std::int16_t& nNotScored, float& fRawScore);
    bool RescoreExternalDisplay(const velm::ByteArray& arResponse, std::int32_t lRespBytes, std::int16_t& nCorrect,
                                std::int16_t& nIncorrect, std::int16_t& nNotAttempted, std::int16_t& nNotScored,
                                float& fRawScore);
    // The child's status; reported under "GetState" when it fails.
    void GetExternalDisplayStatus(std::int32_t& lDispState, bool& bViewedAll, std::string& sStateMsg);
    // Passed to the child; reported when it fails (false).
    bool RescoreExternalDisplayQuick(const velm::ByteArray& arResponse, std::int32_t lRespBytes, std::int16_t& nCorrect,
                                     std::int16_t& nIncorrect, std::int16_t& nNotAttempted, std::int16_t& nNotScored,
                                     float& fRawScore, const velm::ByteArray& XMLBA, std::int32_t& lArrayLen);
    // Hides the child when there is one; true.
    bool Hide();
    // The child's programmatic name.
    const std::string& ExtClassName() const { return msExtClassName; }
    void setExtClassName(std::string name) { msExtClassName = std::move(name); }
    // The path of the child's initialisation file.
    const std::string& InitFile() const { return msInitFile; }
    void setInitFile(std::string path) { msInitFile = std::move(path); }
    // The component, whose support object and error handling the child uses.
    void setParent(const std::shared_ptr<ItemParent>& parent);
    // The child's window; 0 without a child.
    std::int32_t hwnd();
    // The window the child is placed in.
    void sethwnd(std::int32_t window) { mlhWnd = window; }
    // Creates the child, hands it this wrapper and the window, and initialises it from the file
    // without its XML declaration and comments; false after a reported failure.
    bool InitDisplay(bool breadonly = false, bool bshowanswers = false);
    // Resizes the child when there is one; true.
    bool Resize(std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth, std::int32_t lHeight);
    // The child's score, item count, score range and responses; always false.
    bool Score(std::int32_t eScrMeth, const std::string& sItemType, std::int16_t& nItems, std::int16_t& nCorrect,
               float& fRawScore, float& fMinScore, float& fMaxScore, std::string& sResponse, std::string& sCorrectResp,
               std::int16_t& nDistracters, bool bInfoOnly = false);

    // Lets go of the child without freeing it, as a wrapper that goes away does: the child holds
    // the wrapper as its support object, so one of them must let go first.
    void dropChild() { mChild.reset(); }
    // The child display; null before InitDisplay and after FreeDisplay.
    const std::shared_ptr<velm::DisplayInt>& child() const { return mChild; }

private:
    velm::DisplayInt& childOrRaise() const;
    velm::ParentInt& driver() const;
    std::string responseText(std::int32_t lRespType);

    std::shared_ptr<velm::DisplayInt> mChild;
    std::string msExtClassName;
    std::string msInitFile;
    std::int32_t mlhWnd = 0;
    std::weak_ptr<ItemParent> moParent;
    std::shared_ptr<clsErrorDisplay> moErrorDisplay;
};

}  // namespace quorin
