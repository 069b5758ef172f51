#include "saver/animation.h"

int AnimationTick(AnimationState& state)
{
    if (state.pauseTicks > 0) {
        --state.pauseTicks;
        return -1;
    }
    int slot = state.frameIndex;
    if (++state.frameIndex == kAnimationFrames) {
        // The second frame, not the first: the front view shows only on the first pass.
        state.frameIndex = 1;
        state.pauseTicks = kAnimationHoldTicks;
    }
    return slot;
}

ScreenPoint CentredFramePosition(int width, int height)
{
    return {width / 2 - 75, height / 3 - 26};
}

ScreenPoint BannerPosition(int width, int height)
{
    return {width / 2 - 119, height / 3 + 44};
}
