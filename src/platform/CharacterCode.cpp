#include "platform/CharacterCode.h"

#include <algorithm>
#include <iterator>

namespace vorlan {

namespace {

// The characters of the bytes 0x80 to 0x9F. Every other byte stands for the character of
// the same code.
constexpr char16_t kBytes80To9F[] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString fromWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    std::transform(bytes.begin(), bytes.end(), text.begin(), [](char byte) {
        const auto code = uchar(byte);
        return QChar(code >= 0x80 && code < 0xA0 ? kBytes80To9F[code - 0x80] : char16_t(code));
    });
    return text;
}

int windows1252Code(QChar c) {
    const char16_t unicode = c.unicode();
    if (unicode < 0x80 || (unicode >= 0xA0 && unicode <= 0xFF))
        return unicode;
    const auto* found = std::find(std::begin(kBytes80To9F), std::end(kBytes80To9F), unicode);
    return found == std::end(kBytes80To9F) ? -1 : int(0x80 + (found - kBytes80To9F));
}

int utf8Code(QChar c) {
    return c.unicode() < 0x80 ? int(c.unicode()) : -1;
}

} // namespace vorlan
