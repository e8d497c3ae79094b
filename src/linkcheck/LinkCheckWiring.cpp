#include "linkcheck/LinkCheckWiring.h"

#include "linkcheck/CheckResultsExport.h"
#include "linkcheck/HeaderExport.h"
#include "linkcheck/LinkCheck.h"
#include "linkcheck/PageDownload.h"
#include "linkcheck/ResultsPanel.h"
#include "window/Form1.h"

#include <QShortcut>

namespace vorlan {

void connectLinkCheck(Form1& form) {
    LinkChecker::of(form);
    QObject::connect(form.Label5, &ClickLabel::clicked, &form, [&form] { Label5_Click(form); });
    // F5 checks from the keyboard, as the label does; Escape stops a run at once.
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_F5), &form), &QShortcut::activated, &form,
                     [&form] {
                         if (form.Label5->isEnabled())
                             Label5_Click(form);
                     });
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_Escape), &form), &QShortcut::activated,
                     &form, [&form] { LinkChecker::of(form).stopRun(); });
    QObject::connect(form.SaveResults, &QAction::triggered, &form,
                     [&form] { SaveResults_Click(form); });
    QObject::connect(form.Check1, &QPushButton::toggled, &form, [&form] { Check1_Click(form); });
    QObject::connect(form.Check3, &QCheckBox::toggled, &form, [&form] { Check3_Click(form); });
    QObject::connect(form.Command8, &QPushButton::clicked, &form,
                     [&form] { Command8_Click(form); });

    ListBox* results = form.List3;
    QObject::connect(results, &ListBox::listClicked, &form, [&form] { List3_Click(form); });
    QObject::connect(results, &ListBox::mouseDown, &form,
                     [&form](Qt::MouseButton button) { List3_MouseDown(form, button); });
    QObject::connect(results, &ListBox::mouseUp, &form, [&form] { List3_MouseUp(form); });
    QObject::connect(results, &ListBox::gotFocus, &form, [&form] { List3_GotFocus(form); });
    QObject::connect(results, &ListBox::lostFocus, &form, [&form] { List3_LostFocus(form); });
    QObject::connect(form.List4, &ListBox::listClicked, &form, [&form] { List4_Click(form); });
    QObject::connect(form.List4, &ListBox::mouseDown, &form, [&form] { List4_MouseDown(form); });
}

} // namespace vorlan
