#pragma once

#include <array>

namespace vorlan {

// A rectangle in twips, held in single precision like the window's scale unit; positions
// may fall between pixels.
struct TwipRect {
    float left;
    float top;
    float width;
    float height;
    bool operator==(const TwipRect&) const = default;
};

// The shapes animation of the About window's picture area, free of widgets: the four
// shapes first grow and drift right and down in small steps until they reach half the
// window's width, then shrink while sliding left in large steps until Shape4 reaches the
// left edge. The window runs one step per turn of its event loop.
class AboutAnimation {
  public:
    // The shapes, in the order each step moves them.
    enum ShapeIndex { Shape6, Shape4, Shape5, Shape3, ShapeCount };
    using Shapes = std::array<TwipRect, ShapeCount>;
    static constexpr Shapes kDesignedShapes = {{
        {0, 120, 255, 135},
        {240, 0, 135, 165},
        {360, 120, 255, 135},
        {120, 240, 375, 255},
    }};

    enum class Phase { Stopped, Growing, Shrinking };
    enum class StepResult {
        Continue,  // run the next step on the next turn
        Abandoned, // the window left the maximized state while growing; nothing to paint
        Finished   // the shrinking is over; the bitmap is to be painted
    };

    const Shapes& shapes() const { return shapes_; }
    Phase phase() const { return phase_; }

    // Puts the shapes back to their designed rectangles; a running phase goes on from there.
    void restoreDesignedShapes() { shapes_ = kDesignedShapes; }
    // Starts growing from the shapes' current rectangles.
    void start() { phase_ = Phase::Growing; }
    // One step. Growing stops as soon as the window is not maximized; it turns into
    // shrinking once twice Shape4's width plus Shape6's left exceeds half the scale width.
    StepResult step(bool windowMaximized, float scaleWidth);

  private:
    void grow();
    StepResult shrinkStep();

    Shapes shapes_ = kDesignedShapes;
    Phase phase_ = Phase::Stopped;
};

} // namespace vorlan
