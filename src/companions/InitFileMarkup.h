#pragma once

#include "vb/Text.h"

namespace quorin {

// An exhibit's initialisation file without the markup its display does not want: the bytes are
// read as two-byte text (low byte first); every "<?"…"?>" is cut, then every "<!"…"!>" (when the
// "!>" closes it before any other ">") or "<!"…"-->". Each closing mark is looked for from its
// opening mark on; markup without its closing mark stays where it is. A trailing odd byte stays.
vb::ByteArray stripInitFileMarkup(const vb::ByteArray& bytes);

}  // namespace quorin
