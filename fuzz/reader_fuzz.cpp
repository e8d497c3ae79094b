// Feeds arbitrary bytes to the shortcut reader: once as a shortcut file through OandGurl,
// and once as one text through GST, with the UTF-8 code and with a single-byte code.
// Besides the sanitizers' checks it verifies what every stored address must satisfy.
#include "shortcuts/ShortcutReader.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const QString kBefore = QStringLiteral("before.value");

int singleByteCode(QChar c) {
    return c.unicode() < 256 ? int(c.unicode()) : -1;
}

// A stored address holds a dot, carries no blank at either end and never a split pair.
void checkAddress(const QString& address) {
    if (address == kBefore)
        return;
    if (!address.contains(u'.') || address.startsWith(u' ') || address.endsWith(u' ') ||
        !address.isValidUtf16())
        std::abort();
}

// Runs one reader call. A failing GST stores nothing; a failing OandGurl keeps what the
// lines before the failing one stored.
template <typename Call> void runReader(bool singleText, Call call) {
    QString address = kBefore;
    if (const vorlan::Result<void> result = call(address); !result.ok()) {
        const int number = result.failure().number;
        if ((singleText && address != kBefore) ||
            (number != vorlan::runtime_error::kInvalidArgument &&
             number != vorlan::runtime_error::kOverflow))
            std::abort();
    }
    checkAddress(address);
}

const std::string& shortcutPath() {
    static const std::string path = "/tmp/vorlan_reader_fuzz_" + std::to_string(getpid()) + ".url";
    return path;
}

bool writeShortcut(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(shortcutPath().c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    const auto length = qsizetype(size);
    const QString utf8 = QString::fromUtf8(bytes, length);
    runReader(true, [&](QString& address) { return vorlan::GST(utf8, address); });
    runReader(true, [&](QString& address) {
        return vorlan::GST(QString::fromLatin1(bytes, length), address, singleByteCode);
    });
    if (!writeShortcut(data, size))
        std::abort();
    const QString path = QString::fromStdString(shortcutPath());
    runReader(false, [&](QString& address) { return vorlan::OandGurl(path, address); });
    std::remove(shortcutPath().c_str());
    return 0;
}
