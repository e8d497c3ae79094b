#include "search/TargetDirectory.h"

#include "platform/Platform.h"
#include "window/Form1.h"

namespace vorlan {

void Drive1_Change(Form1& form) {
    const QString drive = form.Drive1->drive();
    if (form.Dir1->setPath(drive))
        return;
    form.platform().message(QStringLiteral("Cannot open the drive %1.").arg(drive));
    form.Drive1->showDrive(DriveChooser::driveOf(form.Dir1->path()));
}

void Dir1_Change(Form1& form) {
    form.Text1->setText(form.Dir1->path());
}

void Command4_Click(Form1& form) {
    if (!form.Picture1->isHidden()) {
        form.Picture1->hide();
        form.Command4->setText(QStringLiteral(">>"));
    } else {
        form.Picture1->show();
        form.Command4->setText(QStringLiteral("<<"));
    }
}

} // namespace vorlan
