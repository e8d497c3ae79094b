#include "MainWindowWiring.h"

#include "AboutWiring.h"
#include "ExportWiring.h"
#include "Form1.h"
#include "LinkCheckWiring.h"
#include "ListsWiring.h"
#include "MenuCommands.h"
#include "SearchWiring.h"

namespace vorlan {

void connectMainWindow(Form1& form) {
    QObject::connect(form.Command3, &QPushButton::clicked, &form,
                     [&form] { form.Command3_Click(); });
    QObject::connect(form.Command7, &QPushButton::clicked, &form,
                     [&form] { form.Command7_Click(); });
    connectMenus(form);
    connectSearch(form);
    connectExport(form);
    connectLinkCheck(form);
    connectAbout(form);
    connectLists(form);
}

} // namespace vorlan
