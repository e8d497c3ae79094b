#include "tidy/TidyWiring.h"

#include "tidy/TidyWindow.h"
#include "window/Form1.h"

namespace vorlan {

void connectTidy(Form1& form) {
    QObject::connect(form.Tidy, &QAction::triggered, &form, [&form] { Tidy_Click(form); });
}

} // namespace vorlan
