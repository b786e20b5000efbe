#include "velm/DisplayInt.h"

namespace velm {

// Defined here so that every module that loads this library shares one type identity.
DisplayInt::~DisplayInt() = default;

}  // namespace velm
