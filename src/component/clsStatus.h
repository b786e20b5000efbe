#pragma once

#include <cstdint>
#include <memory>

namespace velm {
class DataIO;
}

namespace quorin {

class clsMultipleChoice;

// Tells the driver how far the candidate has answered the item.
class clsStatus {
public:
    static constexpr std::int32_t kNotAnswered = 2;
    static constexpr std::int32_t kPartlyAnswered = 3;
    static constexpr std::int32_t kAnswered = 100;

    // The owning component; not kept alive by the status.
    void setParentClass(std::weak_ptr<clsMultipleChoice> parentClass) { parentClass_ = std::move(parentClass); }
    // The item document whose responses are counted.
    void setDataIO(std::shared_ptr<velm::DataIO> data) { data_ = std::move(data); }

    // 2 without responses, 3 with fewer than "Min", 100 otherwise; 0 when it cannot tell.
    std::int32_t AnswerStatus() const;

private:
    std::weak_ptr<clsMultipleChoice> parentClass_;
    std::shared_ptr<velm::DataIO> data_;
};

}  // namespace quorin
