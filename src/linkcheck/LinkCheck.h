#pragma once

#include "CheckRun.h"
#include "InternetTransfer.h"

#include <QObject>
#include <QPointer>

namespace vorlan {

class Form1;

// The link check's part of the main window: the transfer component Inet1, the run in
// progress, and what a run works under. A window has one; it ends the run when the window
// closes.
class LinkChecker : public QObject {
    Q_OBJECT
  public:
    static LinkChecker& of(Form1& form);
    ~LinkChecker() override;

    InternetTransfer& inet() { return *inet_; }
    bool running() const { return !run_.isNull(); }
    // Applies the transfer settings, shows the results panel, empties it and starts a run.
    void startRun(QStringList shortcutPaths);
    void abortRun();

    // What each run works under; tests narrow the limits and shorten the time-out.
    RunLimits limits;
    TransferSettings settings;

  private:
    explicit LinkChecker(Form1& form);

    Form1& form_;
    InternetTransfer* inet_;
    QPointer<CheckRun> run_;
};

// Checks every address named in the result file and lists the results (Label5 "Check Link
// status"). Ignored while a run is in progress.
void Label5_Click(Form1& form);

// Stores one item's header text for its row.
void tmGETHEADER(Form1& form, const QString& tmHEADERS, qsizetype tmHEADERSnum);

} // namespace vorlan
