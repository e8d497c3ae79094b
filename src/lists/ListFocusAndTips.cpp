#include "lists/ListFocusAndTips.h"

#include "window/Form1.h"

#include <QCursor>

namespace vorlan {

namespace {

void showSelectedItemAsTip(ListBox* list) {
    if (list->count() > 0)
        list->setToolTip(list->selectedText());
}

void loseFocus(Form1& form, int index, ListBox* list) {
    form.ListFocus[index] = false;
    list->setToolTip(QString());
}

// Opens the Edit menu at the pointer for a right click on a list with a selection;
// true when the click was a right click on such a list.
bool popUpEditMenu(Form1& form, ListBox* list, Qt::MouseButton button) {
    if (list->listIndex() < 0)
        return true;
    if (button != Qt::RightButton)
        return false;
    form.Edit->popup(QCursor::pos());
    return true;
}

} // namespace

void List1_GotFocus(Form1& form) {
    form.ListFocus[1] = true;
}

void List1_LostFocus(Form1& form) {
    loseFocus(form, 1, form.List1);
}

void List1_MouseDown(Form1& form, Qt::MouseButton button) {
    if (popUpEditMenu(form, form.List1, button))
        return;
    if (form.List3->count() == form.List1->count() && !form.List3->isHidden())
        form.List3->setListIndex(form.List1->listIndex());
}

void List1_MouseUp(Form1& form) {
    showSelectedItemAsTip(form.List1);
}

void List2_GotFocus(Form1& form) {
    form.ListFocus[2] = true;
}

void List2_LostFocus(Form1& form) {
    loseFocus(form, 2, form.List2);
}

void List2_MouseDown(Form1& form, Qt::MouseButton button) {
    popUpEditMenu(form, form.List2, button);
}

void List2_MouseUp(Form1& form) {
    showSelectedItemAsTip(form.List2);
}

} // namespace vorlan
