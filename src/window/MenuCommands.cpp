#include "window/MenuCommands.h"

#include "platform/Platform.h"
#include "platform/ProgramFiles.h"
#include "window/Form1.h"
#include "window/HoverHints.h"
#include "window/WindowShortcuts.h"

namespace vorlan {

void Edit_Click(Form1& form) {
    const auto& focus = form.ListFocus;
    if (focus[1]) {
        form.Copy->setEnabled(true);
        form.Navi->setEnabled(true);
    } else if (focus[2]) {
        form.Copy->setEnabled(true);
        form.Navi->setEnabled(false);
    } else if (focus[3]) {
        form.Copy->setEnabled(true);
        form.Navi->setEnabled(true);
    } else {
        form.Copy->setEnabled(false);
        form.Navi->setEnabled(false);
    }
}

void HANDLE_Click(Form1& form) {
    Platform& platform = form.platform();
    platform.shellOpen(programFilePath(platform.programFolder(), ProgramFile::HelpPage));
}

void connectMenus(Form1& form) {
    QObject::connect(form.Edit, &QMenu::aboutToShow, &form, [&form] { Edit_Click(form); });
    QObject::connect(form.HANDLE, &QAction::triggered, &form, [&form] { HANDLE_Click(form); });
    QObject::connect(form.ExApp, &QAction::triggered, &form, &QWidget::close);
    QObject::connect(form.Label2, &ClickLabel::clicked, &form, &QWidget::close);
    installWindowShortcuts(form);
    connectHoverHints(form);
}

} // namespace vorlan
