#include "platform/TurnBudget.h"

namespace vorlan {

TurnBudget::TurnBudget(QObject& context, std::function<void()> onTurnEnded)
    : context_(context), onTurnEnded_(std::move(onTurnEnded)) {}

bool TurnBudget::mayWork() {
    if (!turnOpen_) {
        turnOpen_ = true;
        startedThisTurn_ = 0;
        turn_.start();
        QMetaObject::invokeMethod(
            &context_,
            [this] {
                turnOpen_ = false;
                onTurnEnded_();
            },
            Qt::QueuedConnection);
    }
    return turn_.elapsed() < kBudgetMs;
}

bool TurnBudget::mayStart() {
    if (!mayWork() || startedThisTurn_ >= kStartsPerTurn)
        return false;
    ++startedThisTurn_;
    return true;
}

} // namespace vorlan
