#include "ExportWiring.h"

#include "Form1.h"
#include "LinkListExport.h"

namespace vorlan {

void connectExport(Form1& form) {
    QObject::connect(form.Label4, &ClickLabel::clicked, &form, [&form] { Label4_Click(form); });
    QObject::connect(form.SaveScutAsHTML, &QAction::triggered, &form,
                     [&form] { Label4_Click(form); });
}

} // namespace vorlan
