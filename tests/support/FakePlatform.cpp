#include "FakePlatform.h"

namespace vorlan::test {

void FakePlatform::message(const QString& prompt) {
    messages.append(prompt);
    if (whileDialogOpen)
        whileDialogOpen();
}

bool FakePlatform::askYesNo(const QString& prompt) {
    questions.append(prompt);
    if (whileDialogOpen)
        whileDialogOpen();
    if (yesNoAnswers.empty())
        return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

namespace {

QString nextAnswer(std::deque<QString>& answers) {
    if (answers.empty())
        return {};
    QString answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace

QString FakePlatform::inputBox(const QString& prompt, const QString& defaultText) {
    inputPrompts.append(prompt);
    inputDefaults.append(defaultText);
    if (whileDialogOpen)
        whileDialogOpen();
    return nextAnswer(inputAnswers);
}

QString FakePlatform::saveFileName(const QString&, const QString& proposedPath) {
    saveFileProposals.append(proposedPath);
    if (whileDialogOpen)
        whileDialogOpen();
    return nextAnswer(saveFileAnswers);
}

} // namespace vorlan::test
