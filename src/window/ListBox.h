#pragma once

#include <QListWidget>

namespace vorlan {

// A list box of text items. Its selected index is -1 when nothing is selected, and the
// selected text then reads as the empty text. Changing the selection, by the user or by
// code, raises listClicked() once per actual change to a row.
class ListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit ListBox(QWidget* parent = nullptr);

    int listIndex() const { return currentRow(); }
    QString selectedText() const;
    // Selects row; raises listClicked() only when the selection changes.
    void setListIndex(int row);

  signals:
    void listClicked();
    void mouseDown(Qt::MouseButton button);
    void mouseUp(Qt::MouseButton button);
    void doubleClicked();
    void gotFocus();
    void lostFocus();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    // Watches where the keys go while a menu, the menu bar or another window holds them.
    QMetaObject::Connection focusWatch_;
};

} // namespace vorlan
