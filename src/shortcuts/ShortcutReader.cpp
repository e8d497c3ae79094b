#include "shortcuts/ShortcutReader.h"

#include "platform/FileSystem.h"

#include <QStringDecoder>

namespace vorlan {

namespace {

// Positions and the scan counter are 16-bit signed values.
constexpr qsizetype kLargestPosition = 32767;
// The candidate starts 4 positions after "URL", so "URL" must start by this position.
constexpr qsizetype kLargestKeyPosition = kLargestPosition - 4;

constexpr QStringView kSectionName = u"[InternetShortcut]";
constexpr QStringView kAddressKey = u"URL";

// A character is one Unicode code point: a surrogate pair counts once, so that no scan
// step or removal ever splits one.
bool pairStartsAt(QStringView text, qsizetype index) {
    return index + 1 < text.size() && text[index].isHighSurrogate() &&
           text[index + 1].isLowSurrogate();
}

qsizetype unitsOfCharacterBefore(QStringView text, qsizetype end) {
    return end >= 2 && text[end - 1].isLowSurrogate() && text[end - 2].isHighSurrogate() ? 2 : 1;
}

qsizetype indexAfterCharacterAt(QStringView text, qsizetype index) {
    return index + (pairStartsAt(text, index) ? 2 : 1);
}

// The text after the character at index; empty when nothing follows it.
QString textAfterCharacterAt(const QString& text, qsizetype index) {
    return text.sliced(qMin(text.size(), indexAfterCharacterAt(text, index)));
}

char32_t characterAt(QStringView text, qsizetype index) {
    return pairStartsAt(text, index) ? QChar::surrogateToUcs4(text[index], text[index + 1])
                                     : text[index].unicode();
}

// Whether the character starting at index lies beyond the 1-based position limit.
bool positionBeyond(QStringView text, qsizetype index, qsizetype limit) {
    if (index < limit)
        return false; // a position is never larger than its index + 1
    qsizetype position = 1;
    for (qsizetype i = 0; i < index; i = indexAfterCharacterAt(text, i))
        ++position;
    return position > limit;
}

// Characters of these codes are cut off the end by the backward scan.
bool isRemovedCode(int code) {
    return (code >= 1 && code <= 30) || (code >= 129 && code <= 254);
}

int codeOf(char32_t character, CharacterCodeFunction code) {
    // A character beyond the 16-bit plane takes several bytes in any encoding.
    return character > 0xFFFF ? -1 : code(QChar(char16_t(character)));
}

// Removes leading and trailing blanks (code 32) only, not tabs or other white space.
QString trimmedOfBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == u' ')
        ++first;
    while (end > first && text[end - 1] == u' ')
        --end;
    return text.sliced(first, end - first);
}

const Failure kInvalidArgument{runtime_error::kInvalidArgument,
                               QStringLiteral("Invalid procedure call or argument")};
const Failure kOverflow{runtime_error::kOverflow, QStringLiteral("Overflow")};

} // namespace

Result<ShortcutText> readShortcutText(const QString& shortcutPath) {
    const Result<QByteArray> bytes = readFileBytes(shortcutPath, kMaxShortcutFileBytes);
    if (!bytes.ok())
        return bytes.failure();
    return decodeShortcutText(bytes.value());
}

ShortcutText decodeShortcutText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        return ShortcutText{splitTextLines(fromWindows1252(bytes)), windows1252Code};
    return ShortcutText{splitTextLines(text), utf8Code};
}

Result<void> GST(QString text, QString& currentAddress, CharacterCodeFunction code) {
    const qsizetype section = text.indexOf(kSectionName);
    if (section >= 0) {
        if (positionBeyond(text, section, kLargestPosition))
            return kOverflow;
        text = textAfterCharacterAt(text, section + kSectionName.size());
    }
    if (!text.contains(u'.'))
        return {};

    // Pass k looks at position length(s) - k. A removal shortens s by its last character
    // while k still grows by one, so the next position lies two characters to the left.
    qsizetype looked = text.size(); // index of the character looked at, one past the end at first
    int charactersToStep = 1;
    for (int k = 0;; ++k) {
        for (; charactersToStep > 0; --charactersToStep) {
            if (looked == 0)
                return kInvalidArgument;
            looked -= unitsOfCharacterBefore(text, looked);
        }
        const char32_t character = characterAt(text, looked);
        if (character == U'.') {
            currentAddress = trimmedOfBlanks(text);
            return {};
        }
        charactersToStep = 1;
        if (isRemovedCode(codeOf(character, code))) {
            text.chop(unitsOfCharacterBefore(text, text.size()));
            charactersToStep = 2;
        }
        if (k == kLargestPosition)
            return kOverflow;
    }
}

Result<qsizetype> scanShortcutLines(const ShortcutText& text, QString& currentAddress) {
    qsizetype decidingLine = -1;
    for (qsizetype i = 0; i < text.lines.size(); ++i) {
        const QString& line = text.lines[i];
        const qsizetype key = line.indexOf(kAddressKey);
        if (key < 0)
            continue;
        if (positionBeyond(line, key, kLargestKeyPosition))
            return kOverflow;
        // A stored value always holds a dot, so it is never empty.
        QString stored;
        if (Result<void> step =
                GST(textAfterCharacterAt(line, key + kAddressKey.size()), stored, text.code);
            !step.ok())
            return step.failure();
        if (!stored.isEmpty()) {
            currentAddress = stored;
            decidingLine = i;
        }
    }
    return decidingLine;
}

Result<void> OandGurl(const QString& shortcutPath, QString& currentAddress) {
    if (!entryExists(shortcutPath, EntryKind::FilesOnly))
        return {};
    const Result<ShortcutText> file = readShortcutText(shortcutPath);
    if (!file.ok())
        return file.failure();
    if (Result<qsizetype> scanned = scanShortcutLines(file.value(), currentAddress); !scanned.ok())
        return scanned.failure();
    return {};
}

QString readShortcutAddress(const QString& shortcutPath) {
    QString address;
    return OandGurl(shortcutPath, address).ok() ? address : QString();
}

} // namespace vorlan
