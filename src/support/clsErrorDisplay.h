#pragma once

#include "vb/ErrorReporter.h"

#include <memory>
#include <string>

namespace quorin {

class ItemParent;

// The component's one error reporter: logs an error through the driver and shows it in a
// message box, both through the support object of its ParentClass.
class clsErrorDisplay : public vb::ErrorReporter {
public:
    // The component whose support object receives the reports; not kept alive by the display.
    std::shared_ptr<ItemParent> ParentClass() const { return parentClass_.lock(); }
    void setParentClass(std::weak_ptr<ItemParent> parentClass) { parentClass_ = std::move(parentClass); }

    // The routine being reported.
    const std::string& Routine() const { return routine_; }
    void setRoutine(std::string routine) override { routine_ = std::move(routine); }

    // Logs the error and shows it; throws when there is no support object to report to.
    void activate(const vb::ComError& error) override;

    // The text the candidate reads for an error reported under routine.
    static std::string messageText(const vb::ComError& error, const std::string& routine);

private:
    std::weak_ptr<ItemParent> parentClass_;
    std::string routine_;
};

}  // namespace quorin
