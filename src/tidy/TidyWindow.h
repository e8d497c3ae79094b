#pragma once

#include "history/TidyPlan.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

namespace vorlan {

class Form1;

// "Tidy shortcuts - Vorlan": what a tidy proposes for the shortcuts of the last check, from
// the check history, one row each with a check box (the action, the shortcut, what it holds
// now, what is proposed, why); the set-aside folder with a ">>" chooser; Apply, Undo last tidy
// and Close. After Apply or Undo each row tells what became of it, and the main window's list
// is loaded from a new search when shortcuts were moved.
class TidyWindow : public QWidget {
    Q_OBJECT
  public:
    explicit TidyWindow(Form1& form);

    // Plans afresh for the shortcuts of the last check.
    void showPlan();

    QTableWidget* Proposals;
    QLineEdit* AsideFolder;
    QPushButton* ChooseAside;
    QPushButton* ApplyTidy;
    QPushButton* UndoTidy;
    QPushButton* CloseTidy;

  private:
    // The plan for the folder in AsideFolder, or none after telling why.
    std::optional<std::vector<TidyProposal>> plan();
    void fillTable();
    void apply();
    void undo();
    void chooseAside();
    // Shows each outcome in its row; loads the main list afresh when paths changed.
    void showOutcomes(const std::vector<TidyOutcome>& outcomes, bool pathsChanged);

    Form1& form_;
    TidyOptions options_;
    std::vector<TidyProposal> plan_;
};

// File > "Tidy shortcuts..." (Ctrl+T): opens the tidy window beside the main window.
void Tidy_Click(Form1& form);

} // namespace vorlan
