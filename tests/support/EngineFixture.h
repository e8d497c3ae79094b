#pragma once

#include "ShortcutSet.h"
#include "linkcheck/engine/CheckRun.h"
#include "linkcheck/engine/CheckSink.h"
#include "platform/InternetTransfer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace vorlan::test {

// Records what a run reports; with a pages folder it saves the pages there as the window does.
struct RecordingSink : CheckSink {
    std::unique_ptr<PageWriter> rowCommitted(const CheckRow& row, PageBody& page) override;
    void rowEnded(const CheckRow& row, const Result<void>& saved) override;
    void runEnded(bool stopped) override {
        ended = true;
        this->stopped = stopped;
    }

    QString pagesFolder;
    QList<CheckRow> rows;
    QStringList saveErrors;
    bool ended = false;
    bool stopped = false;
};

// The check engine alone over shortcut files in a temporary folder; no window.
class EngineFixture : public ::testing::Test {
  protected:
    // Its connections close before a test's server stops, which would wait for them otherwise.
    void TearDown() override { inet.reset(); }

    // Runs a check over the items and waits for its end; their expected rows.
    QStringList check(const QList<CheckItem>& items);
    // "address | status" for every row.
    QStringList rows() const;

    QTemporaryDir folder;
    ShortcutSet shortcuts{folder.path()};
    std::optional<InternetTransfer> inet{std::in_place};
    RecordingSink sink;
    RunLimits limits;
    TransferSettings settings{.requestTimeout = std::chrono::seconds(2)};
};

} // namespace vorlan::test
