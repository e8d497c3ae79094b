// Runs the real link check, headless, over many shortcuts spread over the loopback hosts of a
// latency server, and prints the memory as the rows grow beside the text the rows themselves
// hold (address, status and stored header text), one figure per line.
//   soak_bench [--links N] [--hosts H] [--delay-ms D] [--heavy K] [--heavy-mb M] [--save]
// The memory is read when a quarter, half and all of the rows are committed: at 5,000,
// 10,000 and 20,000 rows by default. After the run the rows are cleared, to weigh what they
// hold against what the heap grew by. --heavy makes K of the links pages of M megabytes;
// --save checks "Download all URLs".
#include "CheckRunSetup.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <vector>

namespace {

// Resident memory now and at its peak so far, in KiB, and the bytes the heap has handed out.
struct Memory {
    long residentKb = 0;
    long peakKb = 0;
    qint64 heapBytes = 0;
};

qint64 heapInUse() {
    const struct mallinfo2 heap = mallinfo2();
    return qint64(heap.uordblks + heap.hblkhd);
}

Memory memoryNow() {
    Memory memory;
    memory.heapBytes = heapInUse();
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return memory;
    for (const QByteArray& line : status.readAll().split('\n')) {
        const auto kb = [&line] { return line.split(':').last().trimmed().split(' ')[0].toLong(); };
        if (line.startsWith("VmRSS:"))
            memory.residentKb = kb();
        else if (line.startsWith("VmHWM:"))
            memory.peakKb = kb();
    }
    return memory;
}

// One reading at a number of committed rows.
struct Reading {
    int rows = 0;
    Memory memory;
    qint64 rowTextBytes = 0;
};

double mb(double kb) {
    return kb / 1024;
}

double perRow(double bytes, int rows) {
    return bytes / std::max(rows, 1);
}

} // namespace

int main(int argc, char** argv) {
    CheckRunOptions defaults;
    defaults.links = 20000;
    defaults.delayMs = 20;
    CheckRunBench bench(argc, argv, defaults);
    if (!bench.ready())
        return 1;
    const CheckRunOptions& options = bench.options();
    vorlan::Form1& form = bench.form();
    const Memory loaded = memoryNow();

    // What the rows hold as text, in the two bytes per character a QString takes.
    qint64 rowTextBytes = 0;
    const std::vector<int> marks = {options.links / 4, options.links / 2, options.links};
    std::vector<Reading> readings;
    QObject::connect(form.List4->model(), &QAbstractItemModel::rowsInserted, &form,
                     [&](const QModelIndex&, int row) {
                         rowTextBytes += 2 * (form.List3->item(row)->text().size() +
                                              form.List4->item(row)->text().size() +
                                              form.StoredHEADERS.value(row).size());
                         if (std::find(marks.begin(), marks.end(), row + 1) != marks.end())
                             readings.push_back({row + 1, memoryNow(), rowTextBytes});
                     });

    const double seconds = bench.run();
    const int rows = form.List4->count();
    int good = 0;
    for (int row = 0; row < rows; ++row)
        good += form.List4->item(row)->text() == QStringLiteral("GOOD");
    // The ended run goes, so that what stays is the rows and the window.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const qint64 heapWithRows = heapInUse();
    form.List3->clear();
    form.List4->clear();
    form.StoredHEADERS = QStringList();
    const qint64 heapWithoutRows = heapInUse();

    std::printf("command: %s\n", bench.commandLine("soak_bench").c_str());
    std::printf("wall time: %.1f s, rows: %d (GOOD %d)\n", seconds, rows, good);
    std::printf("shortcuts loaded, before the run: resident %.1f MB, heap %.1f MB\n",
                mb(loaded.residentKb), mb(loaded.heapBytes / 1024.0));
    for (const Reading& reading : readings)
        std::printf("rows %d: resident %.1f MB, peak %.1f MB, heap %.1f MB, rows' text %.1f MB\n",
                    reading.rows, mb(reading.memory.residentKb), mb(reading.memory.peakKb),
                    mb(reading.memory.heapBytes / 1024.0), mb(reading.rowTextBytes / 1024.0));
    for (size_t i = 1; i < readings.size(); ++i) {
        const Reading& from = readings[i - 1];
        const Reading& to = readings[i];
        const int rows = to.rows - from.rows;
        std::printf("rows %d to %d: peak +%.0f, heap +%.0f, rows' text +%.0f bytes a row\n",
                    from.rows, to.rows,
                    perRow(1024.0 * (to.memory.peakKb - from.memory.peakKb), rows),
                    perRow(double(to.memory.heapBytes - from.memory.heapBytes), rows),
                    perRow(double(to.rowTextBytes - from.rowTextBytes), rows));
    }
    std::printf("after the run: the rows hold %.0f bytes a row (%.0f of them text); without "
                "them the heap is %.1f MB, %+.1f MB from before the run\n",
                perRow(double(heapWithRows - heapWithoutRows), options.links),
                perRow(double(rowTextBytes), options.links), mb(heapWithoutRows / 1024.0),
                mb((heapWithoutRows - loaded.heapBytes) / 1024.0));
    return rows == options.links ? 0 : 1;
}
