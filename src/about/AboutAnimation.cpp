#include "about/AboutAnimation.h"

#include <algorithm>

namespace vorlan {

namespace {

// Shape4's height follows Shape6's: a third more than it.
float heightAfter(float shape6Height) {
    return shape6Height / 3.0f + shape6Height;
}

// Shrinking can reach below zero on a narrow window; a size stops at zero.
float clampedSize(float size) {
    return std::max(size, 0.0f);
}

} // namespace

AboutAnimation::StepResult AboutAnimation::step(bool windowMaximized, float scaleWidth) {
    if (phase_ == Phase::Shrinking)
        return shrinkStep();
    if (!windowMaximized) {
        phase_ = Phase::Stopped;
        return StepResult::Abandoned;
    }
    grow();
    const float a = 2.0f * shapes_[Shape4].width + shapes_[Shape6].left;
    const float b = scaleWidth / 2.0f;
    if (!(b < a))
        return StepResult::Continue;
    // The shrinking starts within the same turn, as the growing loop falls straight into it.
    phase_ = Phase::Shrinking;
    return shrinkStep();
}

void AboutAnimation::grow() {
    TwipRect& s6 = shapes_[Shape6];
    TwipRect& s4 = shapes_[Shape4];
    TwipRect& s5 = shapes_[Shape5];
    TwipRect& s3 = shapes_[Shape3];
    s6 = {s6.left + 2, s6.top + 2, s6.width + 2, s6.height + 2};
    s4 = {s4.left + 4, s4.top + 1, s4.width + 2, heightAfter(s6.height)};
    s5 = {s5.left + 6, s5.top + 2, s5.width + 2, s5.height + 2};
    // The one step taken in double precision, stored back in single.
    s3 = {s3.left + 3, s3.top + 3, float(double(s3.width) + 3.5), s3.height + 3};
}

AboutAnimation::StepResult AboutAnimation::shrinkStep() {
    TwipRect& s6 = shapes_[Shape6];
    TwipRect& s4 = shapes_[Shape4];
    TwipRect& s5 = shapes_[Shape5];
    TwipRect& s3 = shapes_[Shape3];
    if (!(s4.left > 0)) {
        phase_ = Phase::Stopped;
        return StepResult::Finished;
    }
    s6 = {s6.left - 20, s6.top - 20, s6.width + 20, clampedSize(s6.height - 20)};
    s4 = {s4.left - 40, s4.top + 10, clampedSize(s4.width - 20), heightAfter(s6.height)};
    s5 = {s5.left - 60, s5.top - 20, clampedSize(s5.width - 20), clampedSize(s5.height - 20)};
    s3 = {s3.left + 30, s3.top - 30, clampedSize(s5.width - 30), clampedSize(s3.height - 30)};
    return StepResult::Continue;
}

} // namespace vorlan
