#pragma once

#include "host/driver/Session.h"

#include <cstdint>
#include <string_view>

namespace velm::host {

// Creates the session's display and initialises it with the item; when the item refuses,
// throws a runtime_error naming the error it reported, so that no further call is made.
void startItem(Session& session, std::string_view itemXml, std::int32_t options = 0);

}  // namespace velm::host
