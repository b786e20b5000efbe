#pragma once

#include "velm/DataIO.h"

#include <memory>

namespace velm {

// The driver library's scoring object: scores the item document loaded in Data.
class ItemScorer {
public:
    // The document scored; nothing until set.
    std::shared_ptr<DataIO> Data() const { return data_; }
    void setData(std::shared_ptr<DataIO> data) { data_ = std::move(data); }

    // The largest weight among the answer keys that the candidate's responses meet; 0 when none.
    double RawScore();
    // The largest weight of all keys; 0 without keys.
    double MaxScore();
    // Always 0.
    double MinScore();

private:
    std::shared_ptr<DataIO> data_;
};

}  // namespace velm
