#include "search/SearchWiring.h"

#include "search/DetailView.h"
#include "search/LoadShortcuts.h"
#include "search/SearchJob.h"
#include "search/TargetDirectory.h"
#include "window/Form1.h"

namespace vorlan {

void connectSearch(Form1& form) {
    QObject::connect(form.Command1, &QPushButton::clicked, &form,
                     [&form] { Command1_Click(form); });
    QObject::connect(form.Find, &QAction::triggered, &form, [&form] { Command1_Click(form); });
    QObject::connect(form.Command4, &QPushButton::clicked, &form,
                     [&form] { Command4_Click(form); });
    QObject::connect(form.Drive1, &DriveChooser::driveChanged, &form,
                     [&form] { Drive1_Change(form); });
    QObject::connect(form.Dir1, &DirectoryChooser::pathChanged, &form,
                     [&form] { Dir1_Change(form); });
    QObject::connect(form.Command2, &QPushButton::clicked, &form,
                     [&form] { Command2_Click(form); });
    QObject::connect(form.Load, &QAction::triggered, &form, [&form] { Command2_Click(form); });
    QObject::connect(form.List1, &ListBox::listClicked, &form, [&form] { List1_Click(form); });
}

} // namespace vorlan
