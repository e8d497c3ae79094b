#include "window/ListBox.h"

#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>

namespace vorlan {

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone); // long items are cut at the edge, not shortened
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            emit listClicked();
    });
}

QString ListBox::selectedText() const {
    const QListWidgetItem* item = currentItem();
    return item ? item->text() : QString();
}

void ListBox::setListIndex(int row) {
    setCurrentRow(row);
}

void ListBox::mousePressEvent(QMouseEvent* event) {
    // Only the left button moves the selection; the others leave it for their handlers.
    if (event->button() == Qt::LeftButton)
        QListWidget::mousePressEvent(event);
    else
        setFocus(Qt::MouseFocusReason);
    emit mouseDown(event->button());
}

void ListBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        QListWidget::mouseReleaseEvent(event);
    emit mouseUp(event->button());
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void ListBox::focusInEvent(QFocusEvent* event) {
    // Skips the item view's habit of selecting the first row when the focus arrives by
    // keyboard: taking the focus never changes the selection.
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    emit gotFocus();
}

void ListBox::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    switch (event->reason()) {
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
    case Qt::ActiveWindowFocusReason:
        // A menu, the menu bar or another window taking the keys for a while does not move
        // the focus away from the list within the window; the keys going on from there to
        // another of its controls do.
        disconnect(focusWatch_);
        focusWatch_ =
            connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
                if (!now || now->window() != window() || qobject_cast<QMenuBar*>(now))
                    return;
                disconnect(focusWatch_);
                if (now != this)
                    emit lostFocus();
            });
        break;
    default:
        emit lostFocus();
    }
}

} // namespace vorlan
