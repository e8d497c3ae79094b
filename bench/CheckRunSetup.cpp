#include "CheckRunSetup.h"

#include "LatencyServer.h"
#include "app/MainWindowWiring.h"
#include "linkcheck/LinkCheck.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sys/resource.h>

QStringList linkAddresses(const CheckRunOptions& options, const LatencyServer& server) {
    std::vector<int> hostOf(options.links);
    for (int i = 0; i < options.links; ++i)
        hostOf[i] = i % options.hosts;
    std::shuffle(hostOf.begin(), hostOf.end(), std::mt19937(20240611));
    // Whether link i is one of `count` links spread evenly over all.
    const auto oneOf = [&options](int count, int i) {
        return i * count / options.links != (i + 1) * count / options.links;
    };
    QStringList addresses;
    for (int i = 0; i < options.links; ++i) {
        const std::string path = oneOf(options.heavy, i)
                                     ? "/heavy/" + std::to_string(options.heavyMb)
                                 : oneOf(options.manyHeaders, i) ? std::string("/many-headers")
                                                                 : "/page/" + std::to_string(i);
        addresses.append(QString::fromStdString(server.url(hostOf[i], path)));
    }
    return addresses;
}

QStringList writeShortcuts(const QString& folder, const QStringList& addresses) {
    QDir().mkpath(folder);
    QStringList paths;
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        paths.append(folder + QStringLiteral("/link %1.url").arg(i));
        QFile file(paths.last());
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write("[InternetShortcut]\r\nURL=" + addresses[i].toUtf8() + "\r\n");
    }
    return paths;
}

namespace {

// Writes one shortcut file per address under the program folder's "web", the result file
// naming them, and fills List1 as a load does.
bool loadShortcuts(vorlan::Form1& form, const QString& programFolder,
                   const QStringList& addresses) {
    const QStringList paths = writeShortcuts(programFolder + "/web", addresses);
    if (paths.isEmpty())
        return false;
    QFile resultFile(form.workingFolder() + "/url.txt");
    if (!resultFile.open(QIODevice::WriteOnly))
        return false;
    resultFile.write((paths.join("\r\n") + "\r\n").toUtf8());
    form.List1->addItems(paths);
    return true;
}

} // namespace

CheckRunOptions parseCheckRunOptions(int argc, char** argv, CheckRunOptions defaults) {
    CheckRunOptions options = defaults;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto number = [&] { return i + 1 < argc ? std::atoi(argv[++i]) : 0; };
        if (arg == "--links")
            options.links = number();
        else if (arg == "--hosts")
            options.hosts = number();
        else if (arg == "--delay-ms")
            options.delayMs = number();
        else if (arg == "--heavy")
            options.heavy = number();
        else if (arg == "--heavy-mb")
            options.heavyMb = number();
        else if (arg == "--many-headers")
            options.manyHeaders = number();
        else if (arg == "--save")
            options.save = true;
        else if (arg == "--no-history")
            options.history = false;
        else if (arg == "--names")
            options.names = true;
        else if (arg == "--dns-delay-ms")
            options.dnsDelayMs = number();
        else if (arg == "--tls")
            options.tls = i + 1 < argc ? argv[++i] : "";
    }
    options.links = std::max(options.links, 1);
    // Names share the served addresses; addresses alone are so many.
    options.hosts = std::clamp(options.hosts, 1, options.names ? options.links : 250);
    if (!options.names)
        options.dnsDelayMs = 0;
    return options;
}

std::string checkRunCommandLine(const char* program, const CheckRunOptions& options) {
    return std::string(program) + " --links " + std::to_string(options.links) + " --hosts " +
           std::to_string(options.hosts) + " --delay-ms " + std::to_string(options.delayMs) +
           " --heavy " + std::to_string(options.heavy) + " --heavy-mb " +
           std::to_string(options.heavyMb) + " --many-headers " +
           std::to_string(options.manyHeaders) + (options.save ? " --save" : "") +
           (options.history ? "" : " --no-history") +
           (options.names ? " --names --dns-delay-ms " + std::to_string(options.dnsDelayMs) : "") +
           (options.tls.empty() ? "" : " --tls " + options.tls);
}

double latencyBoundSeconds(const CheckRunOptions& options) {
    const vorlan::RunLimits limits;
    const double perHostRounds =
        std::ceil(std::ceil(double(options.links) / options.hosts) / limits.requestsPerHost);
    const double runRounds = std::ceil(double(options.links) / limits.requestsInFlight);
    // Every host's first request waits for its name's lookup too.
    return (std::max(perHostRounds, runRounds) * options.delayMs + options.dnsDelayMs) / 1000.0;
}

namespace {

int& offscreen(int& argc) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

} // namespace

void BenchPlatform::message(const QString& prompt) {
    std::fprintf(stderr, "message: %s\n", qPrintable(prompt));
}

CheckRunBench::CheckRunBench(int& argc, char** argv, const CheckRunOptions& defaults)
    : options_(parseCheckRunOptions(argc, argv, defaults)),
      server_({options_.hosts, std::chrono::milliseconds(options_.delayMs), options_.names,
               options_.tls}),
      application_(offscreen(argc), argv), platform_(folder_.path()), form_(platform_) {
    form_.Form_Load();
    vorlan::connectMainWindow(form_);
    QDir().mkpath(folder_.path() + "/pages");
    // A folder in the history's place keeps the window from recording (it says so once).
    if (!options_.history)
        QDir().mkpath(form_.workingFolder() + "/history.sqlite");
    ready_ = loadShortcuts(form_, folder_.path(), linkAddresses(options_, server_));
    if (!ready_)
        std::fprintf(stderr, "cannot write the shortcuts into %s\n", qPrintable(folder_.path()));
    form_.Check3->setChecked(options_.save);
}

std::string CheckRunBench::commandLine(const char* program) const {
    return checkRunCommandLine(program, options_);
}

double CheckRunBench::run() {
    QEventLoop untilDone;
    QObject::connect(&form_, &QWidget::windowTitleChanged, &untilDone,
                     [&untilDone](const QString& title) {
                         if (title.startsWith(u"DONE!"))
                             untilDone.quit();
                     });
    QElapsedTimer wall;
    wall.start();
    vorlan::Label5_Click(form_);
    untilDone.exec();
    return wall.nsecsElapsed() / 1e9;
}

long peakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
