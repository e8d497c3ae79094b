#include "platform/QtPlatform.h"

#include "platform/DesktopOpener.h"
#include "platform/ProgramFiles.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

namespace vorlan {

namespace {
const QString kTitle = QStringLiteral("Vorlan");
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
    if (!url.isValid())
        return;
    openWithDesktop(url, &openers_, [this, target] {
        message(QStringLiteral("Cannot open %1: no program is set up to open it.").arg(target));
    });
}

std::optional<QString> QtPlatform::runListingScript(const QString& scriptPath) {
    QProcess runner;
    runner.setProgram(programFilePath(programFolder(), ProgramFile::ListingRunner));
    if (!QFileInfo(runner.program()).isFile()) {
        const QStringList places = programFilePlaces(programFolder(), ProgramFile::ListingRunner);
        return QStringLiteral("Cannot find the listing runner: looked for %1.")
            .arg(places.join(QStringLiteral(" and ")));
    }
    runner.setArguments({scriptPath});
    if (!runner.startDetached())
        return QStringLiteral("Cannot start %1: %2").arg(runner.program(), runner.errorString());
    return std::nullopt;
}

void QtPlatform::message(const QString& prompt) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, prompt, QMessageBox::Ok, dialogParent_);
    box.exec();
}

bool QtPlatform::askYesNo(const QString& prompt) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, prompt, QMessageBox::Yes | QMessageBox::No,
                    dialogParent_);
    const QPointer<QMessageBox> outer = openQuestion_;
    openQuestion_ = &box;
    const bool yes = box.exec() == QMessageBox::Yes;
    openQuestion_ = outer;
    return yes;
}

void QtPlatform::dismissQuestion() {
    if (openQuestion_)
        openQuestion_->done(QMessageBox::No);
}

QString QtPlatform::inputBox(const QString& prompt, const QString& defaultText) {
    bool accepted = false;
    const QString answer = QInputDialog::getText(dialogParent_, kTitle, prompt, QLineEdit::Normal,
                                                 defaultText, &accepted);
    return accepted ? answer : QString();
}

QString withChosenExtension(const QString& fileName, const QString& chosenType) {
    static const QRegularExpression extension(QStringLiteral("\\(\\*(\\.\\w+)\\)$"));
    const QRegularExpressionMatch chosen = extension.match(chosenType);
    if (fileName.isEmpty() || !chosen.hasMatch() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + chosen.captured(1);
}

QString QtPlatform::saveFileName(const QString& caption, const QString& proposedPath) {
    QString chosenType;
    const QString fileName = QFileDialog::getSaveFileName(
        dialogParent_, caption, proposedPath,
        QStringLiteral("CSV (*.csv);;TSV (*.tsv);;JSON (*.json);;All files (*)"), &chosenType);
    return withChosenExtension(fileName, chosenType);
}

QString QtPlatform::chooseFolder(const QString& caption, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(dialogParent_, caption, startFolder);
}

void QtPlatform::setClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

QString QtPlatform::programFolder() const {
    return QDir::cleanPath(QCoreApplication::applicationDirPath());
}

QString QtPlatform::dataFolder() const {
    return dataFolderOf(programFolder());
}

QString QtPlatform::executableName() const {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

} // namespace vorlan
