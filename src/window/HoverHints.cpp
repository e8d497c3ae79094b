#include "window/HoverHints.h"

#include "platform/ResourcePicture.h"
#include "window/Form1.h"

#include <QEvent>

namespace vorlan {

namespace {

void setHandHint(QLabel* label, int cursorId, const QString& tooltip) {
    label->setCursor(resourceCursor(cursorId));
    label->setToolTip(tooltip);
}

// Raises a handler on every pointer movement over a control that has no signal for it.
class MouseMoveHandler : public QObject {
  public:
    MouseMoveHandler(QWidget* control, std::function<void()> handler)
        : QObject(control), handler_(std::move(handler)) {
        control->setMouseTracking(true);
        control->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove)
            handler_();
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> handler_;
};

} // namespace

void Command4_MouseMove(Form1& form) {
    form.Command4->setToolTip(QStringLiteral("Click on here to open the drive listbox"));
}

void Text1_MouseMove(Form1& form) {
    form.Text1->setToolTip(QStringLiteral(
        "Please choose the directory from small button or input your self: (E.g. c:\\temp)"));
}

void Label1_MouseMove(Form1& form) {
    setHandHint(form.Label1, 104, QStringLiteral("Navigate this URL"));
}

void Label2_MouseMove(Form1& form) {
    form.Label2->setCursor(resourceCursor(102));
}

void Label4_MouseMove(Form1& form) {
    setHandHint(form.Label4, 101, QStringLiteral("Save the list of shortcuts as HTML"));
}

void Label5_MouseMove(Form1& form) {
    setHandHint(form.Label5, 105,
                QStringLiteral("Check all URLs whether links are working or not"));
}

void connectHoverHints(Form1& form) {
    new MouseMoveHandler(form.Command4, [&form] { Command4_MouseMove(form); });
    new MouseMoveHandler(form.Text1, [&form] { Text1_MouseMove(form); });
    const struct {
        ClickLabel* label;
        void (*handler)(Form1&);
    } labels[] = {{form.Label1, Label1_MouseMove},
                  {form.Label2, Label2_MouseMove},
                  {form.Label4, Label4_MouseMove},
                  {form.Label5, Label5_MouseMove}};
    for (const auto& entry : labels) {
        QObject::connect(entry.label, &ClickLabel::mouseMoved, &form,
                         [&form, handler = entry.handler] { handler(form); });
    }
}

} // namespace vorlan
