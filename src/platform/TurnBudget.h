#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <functional>

namespace vorlan {

// What libcurl may do in one turn of the event loop: kBudgetMs of work and kStartsPerTurn new
// requests. The first question opens the turn; once the event loop has gone round, the turn
// closes and the handler is told, so that what waited can go on.
class TurnBudget {
  public:
    // The turn's end is told in the context object's thread.
    TurnBudget(QObject& context, std::function<void()> onTurnEnded);

    // Whether libcurl may do more in this turn.
    bool mayWork();
    // Whether one more request may start in this turn; if so, it counts as started.
    bool mayStart();

  private:
    static constexpr qint64 kBudgetMs = 8;
    static constexpr int kStartsPerTurn = 8;

    QObject& context_;
    const std::function<void()> onTurnEnded_;
    QElapsedTimer turn_;
    bool turnOpen_ = false;
    int startedThisTurn_ = 0;
};

} // namespace vorlan
