#include "lists/ListsWiring.h"

#include "lists/CopyAndNavigate.h"
#include "lists/ListFocusAndTips.h"
#include "window/Form1.h"

namespace vorlan {

void connectLists(Form1& form) {
    auto on = [&form](auto* sender, auto signal, void (*handler)(Form1&)) {
        QObject::connect(sender, signal, &form, [&form, handler] { handler(form); });
    };
    on(form.List1, &ListBox::gotFocus, List1_GotFocus);
    on(form.List1, &ListBox::lostFocus, List1_LostFocus);
    on(form.List1, &ListBox::mouseUp, List1_MouseUp);
    on(form.List1, &ListBox::doubleClicked, List1_DblClick);
    on(form.List2, &ListBox::gotFocus, List2_GotFocus);
    on(form.List2, &ListBox::lostFocus, List2_LostFocus);
    on(form.List2, &ListBox::mouseUp, List2_MouseUp);
    QObject::connect(form.List1, &ListBox::mouseDown, &form,
                     [&form](Qt::MouseButton button) { List1_MouseDown(form, button); });
    QObject::connect(form.List2, &ListBox::mouseDown, &form,
                     [&form](Qt::MouseButton button) { List2_MouseDown(form, button); });
    on(form.Label1, &ClickLabel::clicked, Label1_Click);
    on(form.Navi, &QAction::triggered, Navi_Click);
    on(form.Copy, &QAction::triggered, Copy_Click);
}

} // namespace vorlan
