#include "WindowActions.h"

#include <QApplication>
#include <QTest>

namespace vorlan::test {

void fillList(ListBox* list, const QStringList& items) {
    list->clear();
    list->addItems(items);
}

QStringList itemTexts(const ListBox* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

void clickRow(ListBox* list, int row, Qt::MouseButton button) {
    const QPoint centre = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), button, {}, centre);
}

void activate(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    (void)QTest::qWaitForWindowActive(window);
}

} // namespace vorlan::test
