#include "velm/ParentInt.h"

namespace velm {

// Defined here so that every module that loads this library shares one type identity.
ParentInt::~ParentInt() = default;

}  // namespace velm
