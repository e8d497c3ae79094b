#pragma once

#include "CheckRun.h"
#include "CheckSink.h"
#include "ShortcutSet.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vorlan::test {

// A sink that records what a run reports; with a pages folder it saves the pages there as
// the window does.
class RecordingSink : public CheckSink {
  public:
    std::unique_ptr<PageWriter> rowCommitted(const CheckRow& row, PageBody& page) override;
    void rowEnded(const CheckRow& row, const Result<void>& saved) override;
    void progressed(const CheckProgress& progress) override { this->progress.append(progress); }
    void runEnded(bool stopped) override;

    QString pagesFolder;
    QList<CheckRow> rows;
    QStringList saveErrors;
    QList<CheckProgress> progress;
    bool ended = false;
    bool stopped = false;
};

// The check engine alone over shortcut files in a temporary folder, reporting to a
// recording sink; no window.
class EngineFixture : public ::testing::Test {
  protected:
    void SetUp() override { settings.requestTimeout = std::chrono::seconds(2); }

    // Runs a check over the paths and waits for its end.
    void check(const QStringList& paths);
    // Runs a check over the items; their expected rows.
    QStringList check(const QList<CheckItem>& items);
    // Starts a check over the paths; the run ends by itself or is stopped.
    CheckRun* start(const QStringList& paths);
    // "address | status" for every row.
    QStringList rows() const;

    QTemporaryDir folder;
    ShortcutSet shortcuts{folder.path()};
    InternetTransfer inet;
    RecordingSink sink;
    RunLimits limits;
    TransferSettings settings;
};

} // namespace vorlan::test
