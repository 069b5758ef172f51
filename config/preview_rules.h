// The effects dialog's preview: which picture comes next, and what an input may do while
// a preview draws (the effects dispatch waiting messages between their frames).
#pragma once
#include <cstdint>

struct PreviewStep {
    int32_t index;  // the catalogue entry to show; -1: none, the catalogue is empty
    int32_t next;   // the position after it
};

// Catalogue order from `position`, starting over after the last picture. A position at or
// past the end (the catalogue shrank since) starts over too.
PreviewStep NextPreviewPicture(int32_t position, int32_t count);

// The inputs a running preview holds off. The arrows, "Enabled", "Enable all" and
// "Disable all" act at once: they change only memory the preview does not draw with.
enum class PreviewInput {
    ShowEffect,  // would start a second preview over the running one's palette
    Done,        // would release the back buffer the running one copies from
};

// After a preview ends: nothing more, one more preview, or closing the dialog.
enum class AfterPreview { Idle, Preview, Close };

// Holds "Show effect" and "Done" while a preview runs and lets them act once it has ended.
class PreviewGate {
public:
    // Whether the input may act now; a held one is remembered.
    bool Admit(PreviewInput input);
    void Begin() { running_ = true; }
    AfterPreview End();

private:
    bool running_ = false;
    bool showHeld_ = false;
    bool doneHeld_ = false;
};
