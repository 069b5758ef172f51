#include "config/preview_rules.h"

PreviewStep NextPreviewPicture(int32_t position, int32_t count)
{
    if (count <= 0) return {-1, 0};
    const int32_t index = position >= 0 && position < count ? position : 0;
    return {index, index + 1 < count ? index + 1 : 0};
}

bool PreviewGate::Admit(PreviewInput input)
{
    if (!running_) return true;
    if (input == PreviewInput::Done)
        doneHeld_ = true;
    else
        showHeld_ = true;
    return false;
}

AfterPreview PreviewGate::End()
{
    running_ = false;
    const bool done = doneHeld_, show = showHeld_;
    doneHeld_ = showHeld_ = false;
    // Several presses of "Show effect" during one preview ask for one more, not many.
    if (done) return AfterPreview::Close;
    return show ? AfterPreview::Preview : AfterPreview::Idle;
}
