#pragma once

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
#include "vb/ErrorReporter.h"

#include <cstdint>
#include <memory>

namespace quorin {

class clsErrorDisplay;
class clsMultipleChoice;

// The item window: the stem, the lettered choices and the frame pages of one question. The
// component creates it, configures it through its properties and drives it by notifications.
class frmMain : public platform::Form {
public:
    // Creates and loads the window (Form_Load runs), hidden.
    static std::shared_ptr<frmMain> create();
    frmMain();
    ~frmMain() override;

    // The error display every routine of the window reports through.
    void seterrordisplay(std::shared_ptr<clsErrorDisplay> display) { errordisplay_ = std::move(display); }
    // The answer commands are inert and the answer controls disabled when true.
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool ReadOnly() const { return readOnly_; }
    // The button bar offers "Set Answers" when true.
    void setShowAnswers(bool showAnswers) { showAnswers_ = showAnswers; }
    bool ShowAnswers() const { return showAnswers_; }
    // The button bar offers the calculator when true.
    void setParlaDriver(bool parlaDriver) { parlaDriver_ = parlaDriver; }
    bool ParlaDriver() const { return parlaDriver_; }
    // The window sits inside a case-study panel when true.
    void setCaseStudy(bool caseStudy) { caseStudy_ = caseStudy; }
    bool CaseStudy() const { return caseStudy_; }
    // The owning component (null releases it); the window listens to its notifications.
    void setParentClass(const std::shared_ptr<clsMultipleChoice>& parent);
    std::shared_ptr<clsMultipleChoice> ParentClass() const { return parent_.lock(); }
    // The parent the window had before the component re-parented it.
    std::int32_t PreviousParent() const { return previousParent_; }
    void setPreviousParent(std::int32_t handle) { previousParent_ = handle; }
    // Whether the candidate has seen the whole item and every required exhibit.
    bool ViewedAll() const { return mbScrollArea && mbExhibitsViewed; }

    // Hides the window, gives it back to its previous parent, lets go of the component and unloads it.
    void release();

    // Ten pixels in twips, horizontally and vertically.
    std::int16_t horizontalSpacing() const { return miHorzSpacing; }
    std::int16_t verticalSpacing() const { return miVertSpacing; }
    // True only while Form_Load runs.
    bool loading() const { return mbLoading; }

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

private:
    void Form_Load();
    void moParent_ResizeDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth, std::int32_t& lHeight);
    vb::ErrorReporter* errorReporter() const;

    std::shared_ptr<clsErrorDisplay> errordisplay_;
    std::weak_ptr<clsMultipleChoice> parent_;
    platform::Connection resizeConnection_;
    bool readOnly_ = false;
    bool showAnswers_ = false;
    bool parlaDriver_ = false;
    bool caseStudy_ = false;
    std::int32_t previousParent_ = 0;

    bool mbLoading = false;
    std::int16_t miHorzSpacing = 0;
    std::int16_t miVertSpacing = 0;
    bool mbScrollArea = false;
    bool mbExhibitsViewed = true;
};

}  // namespace quorin
