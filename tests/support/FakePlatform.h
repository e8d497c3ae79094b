#pragma once

#include "platform/QtPlatform.h"

#include <QStringList>
#include <deque>
#include <functional>

namespace vorlan::test {

// The real platform with dialogs, shell-opens and the clipboard recorded or scripted.
class FakePlatform : public QtPlatform {
  public:
    explicit FakePlatform(QString programFolder) : programFolder_(std::move(programFolder)) {}

    void shellOpen(const QString& target) override { shellOpens.append(target); }
    std::optional<QString> runListingScript(const QString& scriptPath) override {
        listingRuns.append(scriptPath);
        return std::nullopt;
    }
    void message(const QString& prompt) override { dialog(messages, prompt); }
    bool askYesNo(const QString& prompt) override {
        dialog(questions, prompt);
        return next(yesNoAnswers, false);
    }
    void dismissQuestion() override { ++questionsDismissed; }
    QString inputBox(const QString& prompt, const QString& defaultText) override {
        inputPrompts.append(prompt);
        dialog(inputDefaults, defaultText);
        return next(inputAnswers, QString());
    }
    QString saveFileName(const QString&, const QString&) override {
        return next(saveFileAnswers, QString());
    }
    QString chooseFolder(const QString&, const QString&) override { return {}; } // cancelled
    void setClipboardText(const QString& text) override { clipboard.append(text); }
    QString programFolder() const override { return programFolder_; }
    QString executableName() const override { return QStringLiteral("Vorlan"); }

    // Used in order; without one a question is answered No, an input box cancelled.
    std::deque<bool> yesNoAnswers;
    std::deque<QString> inputAnswers;
    std::deque<QString> saveFileAnswers;
    // Runs inside every dialog, as a real modal dialog lets the window's events run.
    std::function<void()> whileDialogOpen;

    QStringList messages, questions, inputPrompts, inputDefaults;
    QStringList shellOpens, listingRuns, clipboard;
    int questionsDismissed = 0;

  private:
    void dialog(QStringList& record, const QString& text) {
        record.append(text);
        if (whileDialogOpen)
            whileDialogOpen();
    }
    template <typename T> static T next(std::deque<T>& answers, T none) {
        if (answers.empty())
            return none;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QString programFolder_;
};

} // namespace vorlan::test
