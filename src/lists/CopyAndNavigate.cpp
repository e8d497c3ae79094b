#include "lists/CopyAndNavigate.h"

#include "lists/NavigationTarget.h"
#include "platform/Platform.h"
#include "window/Form1.h"

namespace vorlan {

void Copy_Click(Form1& form) {
    ListBox* source = nullptr;
    if (form.ListFocus[2])
        source = form.List2;
    else if (form.ListFocus[3])
        source = form.List3;
    else if (form.ListFocus[1])
        source = form.List1;
    if (source)
        form.platform().setClipboardText(source->selectedText());
}

void List1_DblClick(Form1& form) {
    const QString target =
        form.ListFocus[3] ? form.List3->selectedText() : form.List1->selectedText();
    if (!target.isEmpty())
        form.platform().shellOpen(navigationTarget(target));
}

void Label1_Click(Form1& form) {
    List1_DblClick(form);
}

void Navi_Click(Form1& form) {
    List1_DblClick(form);
}

} // namespace vorlan
