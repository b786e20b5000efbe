#include "platform/ComObject.h"

namespace platform {

// Defined out of line so that the vtable and type information live in this one library, and
// casts of objects made by a plug-in agree with those of the driver.
ComObject::~ComObject() = default;

}  // namespace platform
