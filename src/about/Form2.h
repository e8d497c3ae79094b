#pragma once

#include "about/AboutAnimation.h"
#include "about/AboutPicture.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace vorlan {

class Platform;

// The About window: product information, the author's home page and e-mail links, and a
// picture area whose click runs or resets the shapes animation.
class Form2 : public QWidget {
    Q_OBJECT
  public:
    explicit Form2(Platform& platform);

    void Form_Load();
    // Escape hides the window without unloading it; any other key does nothing.
    void Form_KeyDown(int keyCode);
    void Form_Unload();
    void Form_Resize();
    void Label2_MouseMove();
    void Label3_MouseMove();
    void Label2_Click();
    void Label3_Click();
    // Switches between the designed view and the animation view. Maximizing is answered
    // by the window system later: the animation starts once the maximized size arrives.
    void Picture1_Click();
    void Timer1_Timer();
    // Starts the animation: its first step runs at once, each further step on a later
    // turn of the event loop, so that pending events run in between.
    void TT();

    const AboutAnimation& animation() const { return animation_; }
    // Maximized by the window system, or by the window itself where no window manager
    // answers the request.
    bool windowMaximized() const;
    // The window's inner area in twips.
    float scaleWidth() const;
    float scaleHeight() const;

    // Controls, bottom to top.
    QFrame* Shape1;
    QLabel* Label1;
    ClickLabel* Label3;
    ClickLabel* Label2;
    QLabel* Label4;
    AboutPicture* Picture1;
    QFrame* Shape6;
    QFrame* Shape4;
    QFrame* Shape5;
    QFrame* Shape3;
    QTimer* Timer1;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void leaveMaximized();
    void maximizeWithoutWindowManager();
    void startAnimationRun();
    void runAnimationStep();
    void showShapes();
    void paintFinalPicture();

    Platform& platform_;
    AboutAnimation animation_;
    QTimer animationStepper_;
    QTimer maximizeFallback_;
    // True from the click that maximizes the window to the click that restores it: the
    // picture area then covers the window's inner area, whenever its size arrives.
    bool pictureFillsWindow_ = false;
    // A click asked for the maximized window and the run waits for its size.
    bool awaitingMaximizedSize_ = false;
    // The window took the screen's area itself and restores its normal geometry itself.
    bool maximizedByItself_ = false;
    QRect normalGeometry_;
};

} // namespace vorlan
