#pragma once

#include "itemformat/ItemDefinition.h"

#include <string>

namespace quorin::qti {

// The exact scoring of an item scored by its answer keys, or why the standard cannot express it.
struct KeyScoringResult {
    itemformat::QtiScoring scoring;
    // Empty when the keys could be expressed; otherwise one line naming the key and why.
    std::string refusal;
};

// The standard's scoring of an item that our scorer scores by its keys (largest weight of the
// keys met, 0 when none is), for every response a candidate can give: one exact key of weight 1
// is the match_correct template; other keys become rules testing them in falling weight.
// Choices keep their answer identifiers where those are identifiers the standard accepts.
KeyScoringResult keyScoringOf(const itemformat::ItemDefinition& item);

}  // namespace quorin::qti
