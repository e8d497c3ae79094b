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

QString FakePlatform::inputBox(const QString& prompt, const QString& defaultText) {
    inputPrompts.append(prompt);
    inputDefaults.append(defaultText);
    if (whileDialogOpen)
        whileDialogOpen();
    if (inputAnswers.empty())
        return {};
    QString answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

} // namespace vorlan::test
