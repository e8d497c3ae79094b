#include "Form1.h"
#include "MainWindowWiring.h"
#include "QtPlatform.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Vorlan"));
    vorlan::QtPlatform platform;
    vorlan::Form1 form(platform);
    platform.setDialogParent(&form);
    form.Form_Load();
    vorlan::connectMainWindow(form);
    form.move(form.screen()->availableGeometry().center() - form.rect().center());
    form.show();
    return application.exec();
}
