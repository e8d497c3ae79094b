#include "export/ExportWiring.h"

#include "export/LinkListExport.h"
#include "window/Form1.h"

namespace vorlan {

void connectExport(Form1& form) {
    QObject::connect(form.Label4, &ClickLabel::clicked, &form, [&form] { Label4_Click(form); });
    QObject::connect(form.SaveScutAsHTML, &QAction::triggered, &form,
                     [&form] { Label4_Click(form); });
}

} // namespace vorlan
