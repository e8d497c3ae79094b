#pragma once

#include "window/ListBox.h"

#include <QStringList>

namespace vorlan::test {

// Real mouse and keyboard input on the shown window, as a person gives it.
void fillList(ListBox* list, const QStringList& items);
QStringList itemTexts(const ListBox* list);
void clickRow(ListBox* list, int row, Qt::MouseButton button = Qt::LeftButton);
// Shows the window and makes it the active one, so focus and shortcuts work.
void activate(QWidget* window);

} // namespace vorlan::test
