#pragma once

#include "companions/Calculator.h"
#include "companions/frmInstructions.h"
#include "platform/CheckBox.h"
#include "platform/CommandButton.h"
#include "platform/Connection.h"
#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/OptionButton.h"
#include "platform/PictureBox.h"
#include "platform/ScrollContainer.h"
#include "platform/Timer.h"
#include "platform/WebBrowser.h"
#include "support/PageEventFilter.h"
#include "support/clsRandomizer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velm {
class DataIO;
}

namespace quorin {

class ItemParent;
class ItemState;
struct FrameStrips;
class clsErrorDisplay;

// The item window: the stem, the lettered choices and the frame pages of one question. The
// component creates it, configures it through its properties and drives it by notifications;
// every change of selection, order and scrolling goes at once into the item's State.
class frmMain : public platform::Form {
public:
    // Creates and loads the window (Form_Load runs), hidden.
    static std::shared_ptr<frmMain> create();
    frmMain();
    ~frmMain() override;

    // The error display every routine of the window reports through.
    void seterrordisplay(std::shared_ptr<clsErrorDisplay> display) { errordisplay_ = std::move(display); }
    // Letters, choice-text clicks and clear-all are ignored when true; a resize disables the answer controls.
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool ReadOnly() const { return readOnly_; }
    // The button bar offers "Set Answers" when true.
    void setShowAnswers(bool showAnswers) { showAnswers_ = showAnswers; }
    bool ShowAnswers() const { return showAnswers_; }
    // The button bar offers the calculator when true.
    void setParlaDriver(bool parlaDriver) { parlaDriver_ = parlaDriver; }
    bool ParlaDriver() const { return parlaDriver_; }
    // The window sits inside a case-study panel when true: no title, edges or bottom strip.
    void setCaseStudy(bool caseStudy) { caseStudy_ = caseStudy; }
    bool CaseStudy() const { return caseStudy_; }
    // Hands the window its owner (writing the frame bitmaps into the support folder once) and
    // listens to its notifications; null lets go of it and removes the page files.
    void SetParentClass(const std::shared_ptr<ItemParent>& parent);
    std::shared_ptr<ItemParent> ParentClass() const { return parent_.lock(); }
    // The parent the window had before the component re-parented it.
    std::int32_t PreviousParent() const { return previousParent_; }
    void setPreviousParent(std::int32_t handle) { previousParent_ = handle; }
    // Whether the candidate has seen the whole item and every required exhibit; tells the
    // candidate what is missing, and false while the window's documents are incomplete.
    bool ViewedAll();

    // Hides the window, gives it back to its previous parent, lets go of the component and unloads it.
    void release();

    // The support folder, with its trailing separator; "" until a parent was handed over.
    const std::string& supportDir() const { return msSupportDir; }
    // The HTML with its image references pointing into the support folder or the driver's graphics.
    std::string RewriteImagePaths(const std::string& html) const;

    // The five frame pages, built afresh from the item document and the static strings.
    std::string createTitle() const;
    std::string createLeftEdge() const;
    std::string createRightEdge() const;
    std::string createBottom() const;
    std::string createButtons() const;

    // The commands of the button bar.
    void cmdReset_Click();
    void cmdSetAnswers_Click();
    void cmdInstructions_Click();
    void cmdCalculator_Click();
    // Selects or toggles every choice whose letter is the typed character (nothing when read-only).
    void SelectByLetter(std::int32_t keyAscii);

    platform::ScrollContainer& scrItemStem;
    platform::WebBrowser& txtItemStem;
    platform::ControlArray<platform::CommandButton>& cmdActiveExhibits;
    platform::PictureBox& pcChoicesContainer;
    platform::ControlArray<platform::OptionButton>& optnBox;
    platform::ControlArray<platform::CheckBox>& chkBox;
    platform::ControlArray<platform::WebBrowser>& txtChoice;
    platform::Label& lblActiveExhibits;
    platform::CommandButton& ssWorkScroll;
    platform::WebBrowser& brwTitle;
    platform::WebBrowser& brwLeftEdge;
    platform::WebBrowser& brwRightEdge;
    platform::WebBrowser& brwButtons;
    platform::WebBrowser& brwBottom;
    platform::Timer& tmflash;

    // The open instructions window; null when none is open.
    frmInstructions* instructions() const { return instructions_.get(); }
    // Whether exhibit button i (from 1) was opened.
    bool exhibitViewed(std::int16_t index) const;
    // The calculator the window keeps.
    const Calculator& calculator() const { return calculator_; }

private:
    struct PendingRect {
        std::int32_t left = 0;
        std::int32_t top = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
    };

    // Loading.
    void Form_Load();
    void LoadControls();
    void loadExhibitButtons();
    void DisplayAnswerChoices();
    void txtChoice_DocumentComplete(std::int16_t index);
    void showHtml(platform::WebBrowser& browser, const std::string& text, const char* bodyMargin);

    // Frame pages and files.
    void writeFrameImages();
    void RemoveTempFiles() const;
    void MakeReadOnly();

    // State.
    void moParent_LoadState();
    void LoadState();
    void ReadStateOrder();
    void WriteStateOrder();
    void ReadStateAnswer();
    void WriteStateResponse(const std::string& identifier);
    void RemoveStateResponse(const std::string& identifier, bool all);
    void WriteStateValue(const std::string& name, const std::string& value);
    void Form_Unload();

    // Selection.
    void chkBox_Click(std::int16_t index);
    void optnBox_MouseDown(std::int16_t index);
    void optnBox_MouseUp(std::int16_t index);
    void choiceKeyPress(const char* routine, std::int16_t& keyAscii);
    void txtChoice_DocumentEvent(std::int16_t index, platform::HtmlEvent& event);
    void brwButtons_DocumentEvent(platform::HtmlEvent& event);
    void brwTitle_DocumentEvent(platform::HtmlEvent& event);
    void brwBottom_DocumentEvent(platform::HtmlEvent& event);
    void txtItemStem_DocumentEvent(platform::HtmlEvent& event);
    void scrItemStem_GotFocus();
    PageEventFilter::LetterHandler selectByLetter();
    void toggleChoice(std::int16_t index);
    void SetAnswer(const std::string& identifier);
    void Reset();
    void SetCalc();
    void closeCompanions();
    void cmdActiveExhibits_Click(std::int16_t index);
    void openExhibit(std::int16_t index);
    void tmflash_Timer();

    // Layout.
    void moParent_RefreshDisplay();
    void moParent_ResizeDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth, std::int32_t& lHeight);
    bool ResizeWhenReady();
    void Form_Resize();
    void SizeControls();
    FrameStrips frameStrips(bool withBottom) const;
    void sizeFrame();
    void sizeContent();
    void SetScrollFlags();
    void logScrollFlags();
    void scrItemStem_VChange();
    bool viewedAllOrNotice();
    void showViewingNotice();
    void logViewedAllDiagnostics();

    // The answer controls of the kind in use: option buttons for a single answer, else check boxes.
    std::int16_t answerControlCount() const;
    platform::Control& answerControl(std::int16_t index) const;
    // The height of a browser's document in twips.
    std::int32_t contentHeightTwips(const platform::WebBrowser& browser) const;
    // Runs a routine under the window's error trap; a failure that cannot be reported ends there.
    template <class Body>
    void trapped(const char* routine, Body&& body);

    ItemParent& parent() const;
    velm::DataIO& itemData() const;
    ItemState itemState() const;
    void logNote(const char* routine, const std::string& text) const;

    std::shared_ptr<clsErrorDisplay> errordisplay_;
    std::weak_ptr<ItemParent> parent_;
    std::vector<platform::Connection> parentConnections_;
    bool readOnly_ = false;
    bool showAnswers_ = false;
    bool parlaDriver_ = false;
    bool caseStudy_ = false;
    std::int32_t previousParent_ = 0;
    std::string msSupportDir;

    bool mbLoading = false;
    std::int16_t miHorzSpacing = 0;
    std::int16_t miVertSpacing = 0;
    std::int16_t miMaxAnswers = 0;
    bool mbSingleAnswer = false;
    bool mbRandomOrder = false;
    std::unique_ptr<clsRandomizer> moRandomizer;
    bool mbExhibitsViewed = true;
    std::vector<std::int16_t> mbViewed;
    std::int32_t miExhibitButtonsWidth = 0;

    std::int16_t miCheckedCount = 0;
    bool mbSettingAnswer = false;
    bool mbWasSelected = false;

    bool bcheckscroll = false;
    bool mbScrollArea = false;
    bool mbScrollAreaSaved = false;
    bool mbScrolledToEnd = false;
    bool mbFitsWhole = false;
    std::int16_t miViewedExhibits = 0;
    std::string msStateXml;

    std::shared_ptr<frmInstructions> instructions_;
    std::int32_t instructionsPreviousParent_ = 0;
    Calculator calculator_;
    std::optional<std::int64_t> lastExhibitPressSecond_;
    int flashTicks_ = 0;

    bool mbMovePending = false;
    bool mbLayoutPending = false;
    PendingRect mPending;
};

}  // namespace quorin
