#include "component/clsStatus.h"

#include "vb/Trap.h"
#include "velm/DataIO.h"

namespace quorin {

std::int32_t clsStatus::AnswerStatus() const
{
    std::int32_t status = 0;
    vb::trapSilently([&] {
        if (!data_)
            vb::raise(vb::err::kObjectNotSet);
        data_->setFromRoot(true);
        const std::int32_t minimum = data_->FindElement("Choices") ? data_->GetAttribute("Min").toInt32() : 0;
        const std::int32_t answered = data_->FindElement("Responses") ? data_->ChildCount() : 0;
        if (answered == 0)
            status = kNotAnswered;
        else if (answered < minimum)
            status = kPartlyAnswered;
        else
            status = kAnswered;
    });
    return status;
}

}  // namespace quorin
