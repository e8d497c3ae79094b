#include "linkcheck/ResultsPanel.h"

#include "window/Form1.h"

#include <QCursor>

namespace vorlan {

void Check1_Click(Form1& form) {
    const bool showResults = form.Check1->isChecked();
    form.List2->setVisible(!showResults);
    for (QWidget* control :
         {static_cast<QWidget*>(form.List3), static_cast<QWidget*>(form.List4),
          static_cast<QWidget*>(form.Command5), static_cast<QWidget*>(form.Command6)})
        control->setVisible(showResults);
}

void List3_Click(Form1& form) {
    const int row = form.List3->listIndex();
    if (row < 0)
        return;
    form.List4->setListIndex(row);
    if (row < form.List1->count())
        form.List1->setListIndex(row);
    if (row < form.StoredHEADERS.size() && !form.StoredHEADERS.at(row).isEmpty())
        form.Text2->setPlainText(form.StoredHEADERS.at(row));
}

void List3_MouseDown(Form1& form, Qt::MouseButton button) {
    if (button != Qt::RightButton) {
        List3_Click(form);
        return;
    }
    if (form.List3->listIndex() >= 0)
        form.Edit->popup(QCursor::pos());
}

void List3_MouseUp(Form1& form) {
    if (form.List3->count() > 0)
        form.List3->setToolTip(form.List3->selectedText());
}

void List3_GotFocus(Form1& form) {
    form.ListFocus[3] = true;
}

void List3_LostFocus(Form1& form) {
    form.ListFocus[3] = false;
    form.List3->setToolTip(QString());
}

void List4_Click(Form1& form) {
    const int row = form.List4->listIndex();
    if (row >= 0)
        form.List3->setListIndex(row);
}

void List4_MouseDown(Form1& form) {
    const int row = form.List4->listIndex();
    if (row >= 0 && form.List3->count() == form.List4->count())
        form.List3->setListIndex(row);
}

} // namespace vorlan
