#pragma once

#include "companions/clsExtDisplay.h"
#include "platform/CommandButton.h"
#include "platform/Connection.h"
#include "platform/Form.h"

#include <cstdint>
#include <memory>
#include <string>

namespace velm {
class ParentInt;
}

namespace quorin {

class ItemParent;
class clsErrorDisplay;

// The window of one active exhibit: the child display sized to the window, and, unless the
// exhibit closes itself, an Exit button at its bottom. It follows the component's rectangle.
class frmActExb : public platform::Form {
public:
    // The design-time size of the Exit button, in twips.
    static constexpr float kExitWidth = 1695;
    static constexpr float kExitHeight = 375;

    // Creates and loads the window, hidden.
    static std::shared_ptr<frmActExb> create();
    frmActExb();
    ~frmActExb() override;

    // The error display every routine of the window reports through.
    void seterrordisplay(std::shared_ptr<clsErrorDisplay> display) { moErrorDisplay = std::move(display); }
    // Kept, not read.
    void setShowAnswers(bool showAnswers) { showAnswers_ = showAnswers; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // The exhibit display's programmatic name.
    void setProgid(std::string progid) { msProgid = std::move(progid); }
    // The full path of the exhibit's initialisation file.
    void setDataPath(std::string path) { msDataPath = std::move(path); }
    // True: the exhibit closes itself; the window shows no Exit button and stays invisible.
    void setSelfClose(bool selfClose) { mbSelfClose = selfClose; }
    bool SelfClose() const { return mbSelfClose; }
    // The component: the window follows its rectangle and hands it to the exhibit; null lets go.
    void SetParentClass(const std::shared_ptr<ItemParent>& parent);
    // The parent the window had before the component re-parented it.
    std::int32_t PreviousParent() const { return previousParent_; }
    void setPreviousParent(std::int32_t handle) { previousParent_ = handle; }
    // Kept, not read.
    void setParentSupport(std::shared_ptr<velm::ParentInt> support) { parentSupport_ = std::move(support); }
    void setParenthWnd(const std::string& handle);

    // The component's rectangle changed: the window moves there and sizes the exhibit to it.
    void moParent_ResizeDisplay(std::int32_t& lLeft, std::int32_t& lTop, std::int32_t& lWidth, std::int32_t& lHeight);
    // Creates the exhibit's wrapper and initialises its child.
    void InitItem();
    // Frees the child when there is one; false.
    bool FreeExternalDisplay();
    // Hides the child; error 91 before InitItem.
    void HideItem();
    // Shows the window and the child in it (initialising first when needed).
    void ShowItem();
    // Hides the window, then hides, frees and drops the exhibit.
    void CloseItem();

    // The exhibit's wrapper; null before InitItem and after CloseItem.
    clsExtDisplay* exhibit() const { return mExtDisplay.get(); }

    platform::CommandButton& cmdExit;

private:
    void cmdExit_Click();
    void Form_Unload();
    void placeExit();
    // Hides, frees and drops the exhibit, when there is one.
    void releaseExhibit();
    template <class Body>
    void trapped(const char* routine, Body&& body);

    std::shared_ptr<clsErrorDisplay> moErrorDisplay;
    bool showAnswers_ = false;
    bool readOnly_ = false;
    std::string msProgid;
    std::string msDataPath;
    bool mbSelfClose = false;
    std::weak_ptr<ItemParent> parent_;
    platform::Connection resizeConnection_;
    std::int32_t previousParent_ = 0;
    std::shared_ptr<velm::ParentInt> parentSupport_;
    std::int32_t parenthWnd_ = 0;
    std::shared_ptr<clsExtDisplay> mExtDisplay;
};

}  // namespace quorin
