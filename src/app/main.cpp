#include "app/CommandLine.h"
#include "app/MainWindowWiring.h"
#include "platform/QtPlatform.h"
#include "window/Form1.h"

#include <QApplication>
#include <QScreen>
#include <string_view>

int main(int argc, char* argv[]) {
    // Options lead to the check without a window, before anything needs a display.
    if (argc > 1 && std::string_view(argv[1]).starts_with("--"))
        return vorlan::runCommandLine(argc, argv);
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Vorlan"));
    // The desktop entry the window belongs to, so that docks show its name and icon.
    application.setDesktopFileName(QStringLiteral("org.example.vorlan"));
    vorlan::QtPlatform platform;
    vorlan::Form1 form(platform);
    platform.setDialogParent(&form);
    form.Form_Load();
    vorlan::connectMainWindow(form);
    form.move(form.screen()->availableGeometry().center() - form.rect().center());
    form.show();
    return application.exec();
}
