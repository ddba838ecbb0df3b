// The message every caller shows for a rejected MAC text.
#pragma once

#include "targets/mac_text.h"

namespace kivrel {

// 61205, 61206 or 61207 for the three faults; 0 for MAC_OK.
unsigned MacParseMessageId(MacParseResult result);

} // namespace kivrel
