#pragma once

#include "QtPlatform.h"

#include <QStringList>
#include <deque>
#include <functional>

namespace vorlan::test {

// The real platform, except for the services that would pop up a dialog or leave the
// program: those are recorded, and questions and input boxes are answered from a script.
class FakePlatform : public QtPlatform {
  public:
    explicit FakePlatform(QString programFolder) : programFolder_(std::move(programFolder)) {}

    void shellOpen(const QString& target) override { shellOpens.append(target); }
    std::optional<QString> runListingScript(const QString& scriptPath) override {
        listingRuns.append(scriptPath);
        return std::nullopt;
    }
    void message(const QString& prompt) override;
    bool askYesNo(const QString& prompt) override;
    QString inputBox(const QString& prompt, const QString& defaultText) override;
    QString saveFileName(const QString& caption, const QString& proposedPath) override;
    void setClipboardText(const QString& text) override { clipboard.append(text); }
    QString programFolder() const override { return programFolder_; }
    QString executableName() const override { return QStringLiteral("Vorlan"); }

    // Scripted answers, used in order; a question without one is answered No, an input
    // box without one is cancelled.
    std::deque<bool> yesNoAnswers;
    std::deque<QString> inputAnswers;
    std::deque<QString> saveFileAnswers;
    // Runs inside every message, question and input box before it is answered, as a real
    // modal dialog lets the window's events run while it is open.
    std::function<void()> whileDialogOpen;

    QStringList messages;
    QStringList questions;
    QStringList inputPrompts;
    QStringList inputDefaults;
    QStringList saveFileProposals;
    QStringList shellOpens;
    QStringList listingRuns;
    QStringList clipboard;

  private:
    QString programFolder_;
};

} // namespace vorlan::test
