#include "EngineFixture.h"

#include "shortcuts/ShortcutReader.h"

#include <QTest>

namespace vorlan::test {

std::unique_ptr<PageWriter> RecordingSink::rowCommitted(const CheckRow& row, PageBody& page) {
    return pagesFolder.isEmpty() ? nullptr : pageWriterInto(pagesFolder, row.shortcutPath, page);
}

void RecordingSink::rowEnded(const CheckRow& row, const Result<void>& saved) {
    rows.append(row);
    if (!saved.ok())
        saveErrors.append(saved.failure().message);
}

QStringList EngineFixture::check(const QList<CheckItem>& items) {
    const QString pages = sink.pagesFolder;
    sink = RecordingSink();
    sink.pagesFolder = pages;
    inet->applySettings(settings);
    QStringList expected;
    auto* run = new CheckRun(sink, *inet, readShortcutAddress, pathsOf(items, expected), limits);
    run->start();
    EXPECT_TRUE(QTest::qWaitFor([this] { return sink.ended; }, 60000));
    EXPECT_FALSE(sink.stopped);
    return expected;
}

QStringList EngineFixture::rows() const {
    QStringList rows;
    for (const CheckRow& row : sink.rows)
        rows.append(row.address + " | " + row.status);
    return rows;
}

} // namespace vorlan::test
