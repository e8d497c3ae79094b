#include "app/MainWindowWiring.h"

#include "about/AboutWiring.h"
#include "export/ExportWiring.h"
#include "linkcheck/LinkCheckWiring.h"
#include "lists/ListsWiring.h"
#include "search/SearchWiring.h"
#include "tidy/TidyWiring.h"
#include "window/Form1.h"
#include "window/MenuCommands.h"

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
    connectTidy(form);
}

} // namespace vorlan
