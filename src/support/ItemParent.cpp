#include "support/ItemParent.h"

namespace quorin {

// Out of line, so the interface has one type identity for the component and its plug-in.
ItemParent::~ItemParent() = default;

}  // namespace quorin
