#include "targets/mac_messages.h"

#include "res/resource.h"

namespace kivrel {

unsigned MacParseMessageId(MacParseResult result) {
    switch (result) {
    case MAC_ERR_LENGTH:
        return IDS_MAC_LENGTH;
    case MAC_ERR_SEPARATOR:
        return IDS_MAC_SEPARATOR;
    case MAC_ERR_DIGIT:
        return IDS_MAC_DIGIT;
    case MAC_OK:
        break;
    }
    return 0;
}

} // namespace kivrel
