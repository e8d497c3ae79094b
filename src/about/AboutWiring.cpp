#include "about/AboutWiring.h"

#include "about/Form2.h"
#include "window/Form1.h"

#include <QPointer>

namespace vorlan {

namespace {

// Holds the About window while it is loaded. The window has no owner window, so it is
// deleted here with the main window at the latest.
class AboutWindowKeeper : public QObject {
  public:
    explicit AboutWindowKeeper(Form1& form) : QObject(&form), platform_(form.platform()) {}
    ~AboutWindowKeeper() override { delete window_; }

    void show() {
        if (!window_) {
            window_ = new Form2(platform_);
            // Closing unloads it: the next showing loads it afresh.
            window_->setAttribute(Qt::WA_DeleteOnClose);
            window_->Form_Load();
        }
        window_->show();
        window_->raise();
        window_->activateWindow();
    }

    void close() {
        if (window_)
            window_->close();
    }

  private:
    Platform& platform_;
    QPointer<Form2> window_;
};

} // namespace

void connectAbout(Form1& form) {
    auto* keeper = new AboutWindowKeeper(form);
    QObject::connect(form.ABOUTVorlan, &QAction::triggered, keeper, &AboutWindowKeeper::show);
    QObject::connect(&form, &Form1::unloading, keeper, &AboutWindowKeeper::close);
}

} // namespace vorlan
