#include "WindowFixture.h"
#include "about/AboutAnimation.h"
#include "about/Form2.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTest>
#include <functional>

using namespace vorlan;
using namespace vorlan::test;
using Phase = AboutAnimation::Phase;

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
        animation.start();
        int steps[3] = {};
        for (auto result = AboutAnimation::StepResult::Continue;
             result == AboutAnimation::StepResult::Continue;) {
            // The step that ends the growing also makes the first shrinking move.
            ++steps[int(animation.phase())];
            result = animation.step(true, c.scaleWidth);
            for (const TwipRect& shape : animation.shapes())
                EXPECT_TRUE(shape.width >= 0 && shape.height >= 0);
        }
        EXPECT_EQ(steps[int(Phase::Growing)], c.growingSteps);
        // 130 moves take Shape4 from 240 + 4n to at most 0; the last step only ends the run.
        EXPECT_EQ(steps[int(Phase::Shrinking)], 130);
        EXPECT_EQ(animation.shapes()[AboutAnimation::Shape6], c.shape6AtTheEnd);
        EXPECT_EQ(animation.phase(), Phase::Stopped);
    }
    AboutAnimation animation; // stops growing once the window is no longer maximized
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
    // Turns the event loop until done() holds; false after ten seconds.
    static bool turnUntil(const std::function<bool()>& done) {
        for (const QDeadlineTimer deadline(10000); !done() && !deadline.hasExpired();)
            QCoreApplication::processEvents();
        return done();
    }
    // Whether the window is closed for good.
    static bool deleted(const QPointer<Form2>& about) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return about.isNull();
    }
};

TEST_F(AboutWindow, LinksShowAHandAndOpenAndEscapeHidesWithoutUnloading) {
    Form2* about = openAbout();
    ASSERT_TRUE(about);
    for (ClickLabel* link : {about->Label2, about->Label3}) {
        QTest::mouseMove(link, link->rect().center());
        EXPECT_EQ(link->cursor().hotSpot(), QPoint(12, 1));
        QTest::mouseClick(link, Qt::LeftButton);
    }
    EXPECT_EQ(platform->shellOpens,
              QStringList({"mailto:team@vorlan.example.org", "https://vorlan.example.org/"}));
    about->Label4->setText(QStringLiteral("left as it was"));
    QTest::keyClick(about, Qt::Key_Return);
    EXPECT_FALSE(about->isHidden());
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_TRUE(about->isHidden());
    EXPECT_EQ(openAbout(), about); // shown again without loading
    EXPECT_EQ(about->Label4->text(), "left as it was");
    about->close();
    EXPECT_TRUE(deleted(about));
    about = openAbout(); // chosen twice: still one window, loaded afresh
    EXPECT_EQ(openAbout(), about);
    EXPECT_EQ(about->Label4->text(), "Thank you for choosing Vorlan.");
    QTest::keyClick(about, Qt::Key_Escape);
    form->close(); // takes the hidden window along
    EXPECT_TRUE(deleted(about));
}

// A second click on the picture, at any phase of the animation, restores the designed view.
TEST_F(AboutWindow, ASecondClickRestoresTheDesignedView) {
    const auto designedView = [](const Form2* about) {
        return !(about->windowState() & Qt::WindowMaximized) && !about->Timer1->isActive() &&
               about->Picture1->geometry() == QRect(24, 32, 41, 33) &&
               about->animation().shapes() == AboutAnimation::kDesignedShapes;
    };
    for (const Phase phase : {Phase::Growing, Phase::Shrinking, Phase::Stopped}) {
        Form2* about = openAbout();
        ASSERT_TRUE(about);
        QTest::mouseClick(about->Picture1, Qt::LeftButton);
        EXPECT_TRUE(about->windowState() & Qt::WindowMaximized);
        ASSERT_TRUE(turnUntil([&] {
            return phase == Phase::Stopped ? about->Picture1->isPainted()
                                           : about->animation().phase() == phase;
        }));
        if (phase == Phase::Stopped) {
            EXPECT_EQ(about->Picture1->paintedTarget().size(), about->size());
        }
        QTest::mouseClick(about->Picture1, Qt::LeftButton);
        EXPECT_TRUE(designedView(about));
        ASSERT_TRUE(turnUntil([about] { return about->animation().phase() == Phase::Stopped; }));
        EXPECT_EQ(about->Picture1->isPainted(), phase == Phase::Shrinking);
        // Six moves from the designed rectangles bring Shape4 from 240 to 0.
        if (phase == Phase::Shrinking) {
            EXPECT_EQ(about->animation().shapes()[AboutAnimation::Shape4],
                      (TwipRect{0, 60, 15, 20}));
        } else {
            EXPECT_TRUE(designedView(about));
        }
        about->close();
        EXPECT_TRUE(deleted(about));
    }
}
