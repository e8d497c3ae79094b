#include "tidy/TidyWindow.h"

#include "history/HistoryFile.h"
#include "history/TidyApply.h"
#include "linkcheck/LinkCheck.h"
#include "platform/Platform.h"
#include "search/LoadShortcuts.h"
#include "window/Form1.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>

namespace vorlan {

namespace {

enum Column { Selected, Action, Shortcut, Now, Proposed, Why, Outcome, Columns };

QString actionText(const TidyProposal& proposal) {
    if (proposal.reason != TidyReason::Moved)
        return QStringLiteral("Set aside");
    return proposal.proposed.isEmpty() ? QStringLiteral("None") : QStringLiteral("New address");
}

QString outcomeText(const TidyOutcome& outcome) {
    return outcome.done ? QStringLiteral("Done") : QStringLiteral("Refused: ") + outcome.refusal;
}

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(QLatin1String(name));
    made->setAccessibleName(caption == u">>" ? QStringLiteral("Choose the set-aside folder")
                                             : caption);
    return made;
}

} // namespace

TidyWindow::TidyWindow(Form1& form) : form_(form) {
    setObjectName(QStringLiteral("TidyWindow"));
    setWindowTitle(QStringLiteral("Tidy shortcuts - %1").arg(form.platform().executableName()));
    Proposals = new QTableWidget(0, Columns, this);
    Proposals->setObjectName(QStringLiteral("Proposals"));
    Proposals->setAccessibleName(QStringLiteral("Proposed changes"));
    Proposals->setHorizontalHeaderLabels(
        {QString(), QStringLiteral("Action"), QStringLiteral("Shortcut"), QStringLiteral("Now"),
         QStringLiteral("Proposed"), QStringLiteral("Why"), QStringLiteral("Result")});
    Proposals->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Proposals->horizontalHeader()->setStretchLastSection(true);
    AsideFolder = new QLineEdit(this);
    AsideFolder->setObjectName(QStringLiteral("AsideFolder"));
    AsideFolder->setAccessibleName(QStringLiteral("Set-aside folder"));
    ChooseAside = button(QStringLiteral(">>"), "ChooseAside", this);
    ApplyTidy = button(QStringLiteral("Apply"), "ApplyTidy", this);
    UndoTidy = button(QStringLiteral("Undo last tidy"), "UndoTidy", this);
    CloseTidy = button(QStringLiteral("Close"), "CloseTidy", this);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(QStringLiteral("Set-aside folder:"), this));
    folderRow->addWidget(AsideFolder, 1);
    folderRow->addWidget(ChooseAside);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* each : {ApplyTidy, UndoTidy, CloseTidy})
        buttons->addWidget(each);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Proposals, 1);
    layout->addLayout(folderRow);
    layout->addLayout(buttons);
    resize(760, 360);

    connect(ChooseAside, &QPushButton::clicked, this, &TidyWindow::chooseAside);
    connect(ApplyTidy, &QPushButton::clicked, this, &TidyWindow::apply);
    connect(UndoTidy, &QPushButton::clicked, this, &TidyWindow::undo);
    connect(CloseTidy, &QPushButton::clicked, this, &QWidget::close);
}

void TidyWindow::showPlan() {
    options_ = TidyOptions{};
    options_.targetDirectory = form_.Text1->text();
    AsideFolder->setText(defaultAsideFolder(options_.targetDirectory));
    if (const auto planned = plan())
        plan_ = *planned;
    fillTable();
}

std::optional<std::vector<TidyProposal>> TidyWindow::plan() {
    options_.asideFolder = AsideFolder->text();
    QStringList shortcuts;
    for (const CheckRow& row : LinkChecker::of(form_).rows())
        shortcuts.append(row.shortcutPath);
    Result<CheckHistory> history = CheckHistory::open(historyFileIn(form_.workingFolder()));
    Result<std::vector<TidyProposal>> planned =
        history.ok() ? planTidy(history.value(), shortcuts, options_) : history.failure();
    if (!planned.ok()) {
        form_.platform().message(QStringLiteral("The check history could not be read: %1")
                                     .arg(planned.failure().message));
        return std::nullopt;
    }
    return std::move(planned).value();
}

void TidyWindow::fillTable() {
    Proposals->setRowCount(int(plan_.size()));
    for (int row = 0; row < int(plan_.size()); ++row) {
        const TidyProposal& proposal = plan_[size_t(row)];
        auto* box = new QTableWidgetItem;
        const bool acts = !proposal.proposed.isEmpty();
        box->setFlags(acts ? Qt::ItemIsUserCheckable | Qt::ItemIsEnabled : Qt::NoItemFlags);
        box->setCheckState(proposal.selected ? Qt::Checked : Qt::Unchecked);
        Proposals->setItem(row, Selected, box);
        const QString texts[] = {actionText(proposal), proposal.shortcutPath, proposal.now,
                                 proposal.proposed,    proposal.why,          QString()};
        for (int column = Action; column < Columns; ++column)
            Proposals->setItem(row, column, new QTableWidgetItem(texts[column - Action]));
    }
    Proposals->resizeColumnsToContents();
}

void TidyWindow::chooseAside() {
    const QString chosen =
        form_.platform().chooseFolder(QStringLiteral("Set-aside folder"), AsideFolder->text());
    if (!chosen.isEmpty())
        AsideFolder->setText(chosen);
}

void TidyWindow::apply() {
    // Planned again for the set-aside folder as it now stands, with the rows' check boxes.
    std::optional<std::vector<TidyProposal>> planned = plan();
    if (!planned || planned->size() != plan_.size())
        return;
    for (size_t row = 0; row < planned->size(); ++row)
        (*planned)[row].selected = Proposals->item(int(row), Selected)->checkState() == Qt::Checked;
    plan_ = std::move(*planned);
    fillTable();
    const std::vector<TidyOutcome> outcomes =
        applyTidy(historyFileIn(form_.workingFolder()), plan_);
    const bool moved = std::any_of(outcomes.begin(), outcomes.end(), [this](const auto& outcome) {
        return outcome.done && std::any_of(plan_.begin(), plan_.end(), [&outcome](const auto& p) {
                   return p.shortcutPath == outcome.shortcutPath && p.reason != TidyReason::Moved;
               });
    });
    showOutcomes(outcomes, moved);
}

void TidyWindow::undo() {
    const std::vector<TidyOutcome> outcomes = undoLastTidy(historyFileIn(form_.workingFolder()));
    // An undone move changes paths too; an undone rewrite does not, but cannot be told apart.
    showOutcomes(outcomes, std::any_of(outcomes.begin(), outcomes.end(),
                                       [](const TidyOutcome& outcome) { return outcome.done; }));
    if (outcomes.empty())
        form_.platform().message(QStringLiteral("There is no tidy to undo."));
}

void TidyWindow::showOutcomes(const std::vector<TidyOutcome>& outcomes, bool pathsChanged) {
    for (const TidyOutcome& outcome : outcomes) {
        for (int row = 0; row < Proposals->rowCount(); ++row) {
            if (Proposals->item(row, Shortcut)->text() == outcome.shortcutPath)
                Proposals->item(row, Outcome)->setText(outcomeText(outcome));
        }
    }
    if (pathsChanged)
        reloadFromNewSearch(form_);
}

void Tidy_Click(Form1& form) {
    auto* window = form.findChild<TidyWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new TidyWindow(form);
        window->setParent(&form, Qt::Window);
    }
    window->showPlan();
    window->move(form.frameGeometry().topRight());
    window->show();
    window->raise();
}

} // namespace vorlan
