#pragma once

#include "platform/Platform.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QWidget;

namespace vorlan {

// The desktop implementation of the platform services.
class QtPlatform : public Platform {
  public:
    void shellOpen(const QString& target) override;
    std::optional<QString> runListingScript(const QString& scriptPath) override;
    void message(const QString& prompt) override;
    bool askYesNo(const QString& prompt) override;
    void dismissQuestion() override;
    QString inputBox(const QString& prompt, const QString& defaultText) override;
    QString saveFileName(const QString& caption, const QString& proposedPath) override;
    QString chooseFolder(const QString& caption, const QString& startFolder) override;
    void setClipboardText(const QString& text) override;
    QString programFolder() const override;
    QString dataFolder() const override;
    QString executableName() const override;

    // The window that owns the dialogs; none gives application-modal dialogs.
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

  private:
    QWidget* dialogParent_ = nullptr;
    QPointer<QMessageBox> openQuestion_;
    // Holds the watches of openers that have not exited yet; they end with the platform.
    QObject openers_;
};

// The address the desktop opener receives for a shell-open target: a local path becomes
// a file URL, an address without a scheme gets "http://". Empty for an empty target.
QUrl shellOpenUrl(const QString& target);

// The file name a save dialog gives: with the chosen type's extension ("TSV (*.tsv)" gives
// ".tsv") when the name has none; a typed extension stays.
QString withChosenExtension(const QString& fileName, const QString& chosenType);

} // namespace vorlan
