#include "AboutAnimation.h"
#include "Form2.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTest>
#include <functional>

using namespace vorlan;
using namespace vorlan::test;

namespace {

using Phase = AboutAnimation::Phase;

struct RunCounts {
    int growing = 0;
    int shrinking = 0;
};

// Runs a whole animation on a maximized window of the given scale width.
RunCounts runToTheEnd(AboutAnimation& animation, float scaleWidth) {
    RunCounts counts;
    animation.start();
    for (;;) {
        const Phase before = animation.phase();
        const auto result = animation.step(true, scaleWidth);
        // The step that ends the growing also makes the first shrinking move.
        ++(before == Phase::Growing ? counts.growing : counts.shrinking);
        for (const TwipRect& shape : animation.shapes())
            EXPECT_TRUE(shape.width >= 0 && shape.height >= 0);
        if (result != AboutAnimation::StepResult::Continue)
            return counts;
    }
}

} // namespace

TEST(AboutAnimation, GrowsUntilHalfTheWidthThenShrinksToTheLeftEdge) {
    const struct {
        float scaleWidth;
        int growingSteps;
        TwipRect shape6AtTheEnd; // its height would be -3 on the narrower window
    } cases[] = {
        {15360, 1236, {-2600 + 2472, -2600 + 2592, 255 + 2472 + 2600, 7}},
        {15300, 1231, {-2600 + 2462, -2600 + 2582, 255 + 2462 + 2600, 0}},
    };
    for (const auto& c : cases) {
        AboutAnimation animation;
        const RunCounts counts = runToTheEnd(animation, c.scaleWidth);
        EXPECT_EQ(counts.growing, c.growingSteps);
        // 130 moves take Shape4 from 240 + 4n to at most 0; the last step only ends the run.
        EXPECT_EQ(counts.shrinking, 130);
        EXPECT_EQ(animation.shapes()[AboutAnimation::Shape6], c.shape6AtTheEnd);
        EXPECT_EQ(animation.phase(), Phase::Stopped);
    }
}

TEST(AboutAnimation, StopsGrowingOnceTheWindowIsNoLongerMaximized) {
    AboutAnimation animation;
    animation.start();
    animation.step(true, 15360);
    EXPECT_EQ(animation.step(false, 15360), AboutAnimation::StepResult::Abandoned);
    EXPECT_EQ(animation.shapes()[AboutAnimation::Shape4],
              (TwipRect{244, 1, 137, 137.0f / 3.0f + 137.0f}));
}

class AboutWindow : public WindowFixture {
  protected:
    // The one About window after choosing the menu item; null when there is not exactly one.
    Form2* openAbout() {
        form->ABOUTVorlan->trigger();
        QList<Form2*> windows;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* about = qobject_cast<Form2*>(widget))
                windows.append(about);
        return windows.size() == 1 ? windows.front() : nullptr;
    }
    // Lets the event loop turn until done() holds; false after ten seconds.
    static bool turnUntil(const std::function<bool()>& done) {
        const QDeadlineTimer deadline(10000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents();
        return done();
    }
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static bool showsTheDesignedView(const Form2* about) {
        const AboutAnimation::Shapes& designed = AboutAnimation::kDesignedShapes;
        return !(about->windowState() & Qt::WindowMaximized) && !about->Timer1->isActive() &&
               about->Picture1->geometry() == QRect(24, 32, 41, 33) &&
               about->animation().shapes() == designed;
    }
};

TEST_F(AboutWindow, ItsLinksShowAHandAndOpen) {
    Form2* about = openAbout();
    ASSERT_TRUE(about);
    for (ClickLabel* link : {about->Label2, about->Label3}) {
        QTest::mouseMove(link, link->rect().center());
        EXPECT_EQ(link->cursor().hotSpot(), QPoint(12, 1));
        QTest::mouseClick(link, Qt::LeftButton);
    }
    EXPECT_EQ(platform->shellOpens,
              QStringList({"mailto:team@vorlan.example.org", "https://vorlan.example.org/"}));
}

TEST_F(AboutWindow, EscapeHidesWithoutUnloadingAndClosingUnloads) {
    Form2* about = openAbout();
    ASSERT_TRUE(about);
    about->Label4->setText(QStringLiteral("left as it was"));
    QTest::keyClick(about, Qt::Key_Return);
    EXPECT_FALSE(about->isHidden());
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_TRUE(about->isHidden());
    EXPECT_EQ(openAbout(), about); // shown again without loading
    EXPECT_EQ(about->Label4->text(), "left as it was");
    QPointer<Form2> closed = about;
    about->close();
    flushDeletes();
    EXPECT_TRUE(closed.isNull());
    about = openAbout(); // chosen twice: still one window, loaded afresh
    EXPECT_EQ(openAbout(), about);
    EXPECT_EQ(about->Label4->text(), "Thank you for choosing Vorlan.");
    QTest::keyClick(about, Qt::Key_Escape);
    closed = about;
    form->close(); // takes the hidden window along
    flushDeletes();
    EXPECT_TRUE(closed.isNull());
}

// A click on the picture starts the animation on a maximized window; a second click, while
// it grows, while it shrinks or once it has painted, restores the designed view.
TEST_F(AboutWindow, ASecondClickRestoresTheDesignedView) {
    const struct {
        Phase phase; // the phase of the second click; Stopped: once painted
        bool paintedAtTheEnd;
    } cases[] = {{Phase::Growing, false}, {Phase::Shrinking, true}, {Phase::Stopped, false}};
    for (const auto& c : cases) {
        Form2* about = openAbout();
        ASSERT_TRUE(about);
        QTest::mouseClick(about->Picture1, Qt::LeftButton);
        EXPECT_TRUE(about->windowState() & Qt::WindowMaximized);
        ASSERT_TRUE(turnUntil([&] {
            return c.phase == Phase::Stopped ? about->Picture1->isPainted()
                                             : about->animation().phase() == c.phase;
        }));
        if (c.phase == Phase::Stopped) {
            EXPECT_EQ(about->Picture1->paintedTarget().size(), about->size());
        }
        QTest::mouseClick(about->Picture1, Qt::LeftButton);
        EXPECT_TRUE(showsTheDesignedView(about));
        ASSERT_TRUE(turnUntil([about] { return about->animation().phase() == Phase::Stopped; }));
        EXPECT_EQ(about->Picture1->isPainted(), c.paintedAtTheEnd);
        // Six moves from the designed rectangles bring Shape4 from 240 to 0.
        if (c.phase == Phase::Shrinking) {
            EXPECT_EQ(about->animation().shapes()[AboutAnimation::Shape4],
                      (TwipRect{0, 60, 15, 20}));
        } else {
            EXPECT_TRUE(showsTheDesignedView(about));
        }
        about->close();
        flushDeletes();
    }
}
