#include "MainWindowWiring.h"

#include "Form1.h"
#include "SearchWiring.h"

namespace vorlan {

void connectMainWindow(Form1& form) {
    QObject::connect(form.Command3, &QPushButton::clicked, &form,
                     [&form] { form.Command3_Click(); });
    QObject::connect(form.Command7, &QPushButton::clicked, &form,
                     [&form] { form.Command7_Click(); });
    QObject::connect(form.ExApp, &QAction::triggered, &form, &QWidget::close);
    QObject::connect(form.Label2, &ClickLabel::clicked, &form, &QWidget::close);
    connectSearch(form);
}

} // namespace vorlan
