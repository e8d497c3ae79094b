#pragma once

#include "LatencyServer.h"
#include "platform/QtPlatform.h"
#include "window/Form1.h"

#include <QApplication>
#include <QTemporaryDir>
#include <string>

// What a benchmark of the check run works on, from its command line:
//   --links N --hosts H --delay-ms D --heavy K --heavy-mb M --many-headers L --save
//   --names [--dns-delay-ms T] --tls DIR
// --heavy makes K of the links pages of M megabytes; --many-headers makes L of them answers
// of 100,000 header lines; --save checks "Download all URLs". --names gives the hosts names
// h<K>.bench.test, each costing a lookup of T ms (40 by default) at the benchmark DNS server;
// --tls serves HTTPS with DIR/server.pem and DIR/server.key (`sandbox.py make-ca DIR`). Both
// need the benchmark's DNS server and namespace (`../shared/bench/README.md`).
struct CheckRunOptions {
    int links = 1000;
    int hosts = 50;
    int delayMs = 200;
    int heavy = 0;
    int heavyMb = 200;
    int manyHeaders = 0;
    bool save = false;
    bool history = true; // --no-history: the run records nothing
    bool names = false;
    int dnsDelayMs = 40;
    std::string tls;
};

// The options above from a command line.
CheckRunOptions parseCheckRunOptions(int argc, char** argv, CheckRunOptions defaults);
// The command that runs the program with these options.
std::string checkRunCommandLine(const char* program, const CheckRunOptions& options);
// The addresses of the links: each host its share, in a shuffled order.
QStringList linkAddresses(const CheckRunOptions& options, const LatencyServer& server);
// Writes one shortcut file per address into the folder, "link <i>.url"; gives their paths,
// none when one could not be written.
QStringList writeShortcuts(const QString& folder, const QStringList& addresses);
// The least wall time a run of these links can take: the rounds of requests the busiest host
// or the run's limit of requests in flight allows, each one delay long, and a name lookup.
double latencyBoundSeconds(const CheckRunOptions& options);

// The real platform in a temporary program folder; a message goes to stderr instead of a
// dialog, and the download folder question is answered with the program folder's "pages".
class BenchPlatform : public vorlan::QtPlatform {
  public:
    explicit BenchPlatform(QString folder) : folder_(std::move(folder)) {}
    void message(const QString& prompt) override;
    QString inputBox(const QString&, const QString&) override { return folder_ + "/pages"; }
    QString programFolder() const override { return folder_; }

  private:
    QString folder_;
};

// A benchmark program of the check run: its options, a latency server in a child process
// (started before any thread of Qt exists), the application on the offscreen platform, and
// the main window over a temporary program folder that holds one shortcut per link, each
// host getting its share of the links in a shuffled order. The result file names them and
// List1 holds them, as after a load.
class CheckRunBench {
  public:
    CheckRunBench(int& argc, char** argv, const CheckRunOptions& defaults);

    const CheckRunOptions& options() const { return options_; }
    // The command that runs the program with these options.
    std::string commandLine(const char* program) const;
    // False, after saying why, when the shortcuts could not be written.
    bool ready() const { return ready_; }
    vorlan::Form1& form() { return form_; }
    // Clicks "Check Link status" and returns, in seconds, once the caption announces the end.
    double run();

  private:
    const CheckRunOptions options_;
    const LatencyServer server_;
    QApplication application_;
    QTemporaryDir folder_;
    BenchPlatform platform_;
    vorlan::Form1 form_;
    bool ready_ = false;
};

// The process's peak resident memory so far, in KiB.
long peakMemoryKb();
// The CPU time (user and system) the process has used so far, in seconds.
double cpuSeconds();
