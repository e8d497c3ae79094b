#include "QtPlatform.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace vorlan {

namespace {
const QString kTitle = QStringLiteral("Vorlan");
const QString kListingRunner = QStringLiteral("listing");
} // namespace

QUrl shellOpenUrl(const QString& target) {
    if (target.isEmpty())
        return {};
    if (target.startsWith(u'/') || QFileInfo::exists(target))
        return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
    const QUrl url(target, QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty() && url.scheme().size() > 1)
        return url;
    return QUrl(QStringLiteral("http://") + target, QUrl::TolerantMode);
}

void QtPlatform::shellOpen(const QString& target) {
    const QUrl url = shellOpenUrl(target);
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

void QtPlatform::runListingScript(const QString& scriptPath) {
    QProcess::startDetached(programFolder() + kPathSeparator + kListingRunner, {scriptPath});
}

void QtPlatform::message(const QString& prompt) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, prompt, QMessageBox::Ok, dialogParent_);
    box.exec();
}

bool QtPlatform::askYesNo(const QString& prompt) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, prompt, QMessageBox::Yes | QMessageBox::No,
                    dialogParent_);
    return box.exec() == QMessageBox::Yes;
}

QString QtPlatform::inputBox(const QString& prompt, const QString& defaultText) {
    bool accepted = false;
    const QString answer = QInputDialog::getText(dialogParent_, kTitle, prompt, QLineEdit::Normal,
                                                 defaultText, &accepted);
    return accepted ? answer : QString();
}

QString QtPlatform::saveFileName(const QString& caption, const QString& proposedPath) {
    return QFileDialog::getSaveFileName(
        dialogParent_, caption, proposedPath,
        QStringLiteral("CSV (*.csv);;TSV (*.tsv);;JSON (*.json);;All files (*)"));
}

void QtPlatform::setClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

QString QtPlatform::programFolder() const {
    return QDir::cleanPath(QCoreApplication::applicationDirPath());
}

QString QtPlatform::executableName() const {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

} // namespace vorlan
