#pragma once

#include <QByteArray>
#include <QFile>

namespace vorlan::test {

#if defined(__SANITIZE_ADDRESS__)
// Freed memory waits in the sanitizer's quarantine: the resident size says nothing.
inline constexpr bool kMemoryMeasurable = false;
#else
inline constexpr bool kMemoryMeasurable = true;
#endif

// A figure from /proc/self/status, in KiB ("VmRSS", "VmHWM").
inline qint64 statusKb(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Starts the peak resident size afresh from the present one.
inline void resetPeakMemory() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

} // namespace vorlan::test
