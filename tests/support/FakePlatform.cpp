#include "FakePlatform.h"

namespace vorlan::test {

bool FakePlatform::askYesNo(const QString& prompt) {
    questions.append(prompt);
    if (yesNoAnswers.empty())
        return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

QString FakePlatform::inputBox(const QString& prompt, const QString& defaultText) {
    inputPrompts.append(prompt);
    inputDefaults.append(defaultText);
    if (inputAnswers.empty())
        return {};
    QString answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

} // namespace vorlan::test
