#include "CharacterCode.h"

namespace vorlan {

int characterCode(QChar c) {
    // In UTF-8 exactly the ASCII characters are single bytes.
    return c.unicode() < 0x80 ? int(c.unicode()) : -1;
}

} // namespace vorlan
