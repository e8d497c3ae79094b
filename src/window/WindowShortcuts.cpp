#include "window/WindowShortcuts.h"

#include "window/Form1.h"

#include <QEvent>
#include <QKeyEvent>

namespace vorlan {

namespace {

class MenuShortcutFilter : public QObject {
  public:
    MenuShortcutFilter(Form1& form) : QObject(&form), form_(form) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) ||
            !isMenuShortcut(static_cast<QKeyEvent*>(event)))
            return QObject::eventFilter(watched, event);
        // Refusing the override lets the menu item take the key; a key press that still
        // arrives belongs to a disabled item and is dropped.
        event->ignore();
        return true;
    }

  private:
    bool isMenuShortcut(const QKeyEvent* event) const {
        const QKeySequence pressed(event->keyCombination());
        for (const QAction* action : form_.actions()) {
            if (!action->shortcut().isEmpty() && action->shortcut() == pressed)
                return true;
        }
        return false;
    }

    Form1& form_;
};

} // namespace

void installWindowShortcuts(Form1& form) {
    auto* filter = new MenuShortcutFilter(form);
    for (QWidget* control : form.findChildren<QWidget*>())
        control->installEventFilter(filter);
}

} // namespace vorlan
