#pragma once

#include "history/HistoryRecorder.h"
#include "linkcheck/PageDownload.h"
#include "linkcheck/engine/CheckRun.h"
#include "linkcheck/engine/CheckSink.h"
#include "platform/InternetTransfer.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <optional>
#include <vector>

namespace vorlan {

class Form1;

// The link check's part of the main window: the transfer component Inet1, the run in
// progress and the rows of the last one. It is the run's sink: each committed row stores
// and shows its header text, saves its page while Check3 is checked, and is listed in
// List3 and List4; the caption tells how far the run has come and how it ended. A window
// has one; it ends the run when the window closes.
class LinkChecker : public QObject, public CheckSink {
    Q_OBJECT
  public:
    static LinkChecker& of(Form1& form);
    ~LinkChecker() override;

    InternetTransfer& inet() { return *inet_; }
    bool running() const { return !run_.isNull(); }
    // Applies the transfer settings, shows the results panel, empties it and starts a run.
    void startRun(QStringList shortcutPaths);
    // Stops the run in progress, keeping its committed rows.
    void stopRun();
    // Asks "Stop checking links?" and stops the run on Yes. The question closes, answered
    // No, when the run ends while it is open.
    void askToStop();
    // The rows of the last run, as far as it came.
    const QList<CheckRow>& rows() const { return rows_; }

    // The pages of the rows committed while Check3's folder question is open wait here for
    // its answer (saved there, or dropped on Cancel); empty while no question is open.
    std::optional<std::vector<HeldPage>> heldPages;

    // What each run works under; tests narrow the limits and shorten the time-out.
    RunLimits limits;
    TransferSettings settings;

  private:
    explicit LinkChecker(Form1& form);
    void abortRun();
    // Opens the check history for a new run; tells when it cannot be opened.
    void startRecording();

    std::unique_ptr<PageWriter> rowCommitted(const CheckRow& row, PageBody& page) override;
    void rowEnded(const CheckRow& row, const Result<void>& saved) override;
    void progressed(const CheckProgress& progress) override;
    void runEnded(bool stopped) override;

    Form1& form_;
    InternetTransfer* inet_;
    QPointer<CheckRun> run_;
    // Records the rows of the run in progress; it stays until they are written.
    QPointer<HistoryRecorder> recorder_;
    QList<CheckRow> rows_;
    UnsavedPages unsavedPages_;
    bool stopQuestionOpen_ = false;
};

// Checks every address named in the result file and lists the results (Label5 "Check Link
// status"). While a run is in progress it asks whether to stop it instead.
void Label5_Click(Form1& form);

// Stores one item's header text for its row.
void tmGETHEADER(Form1& form, const QString& tmHEADERS, qsizetype tmHEADERSnum);

// The address the window's reader stores for a shortcut file, read as the check run reads
// it: the current address is emptied first, so an item never shows the one before it.
QString readAddressIntoWindow(Form1& form, const QString& shortcutPath);

} // namespace vorlan
