// Which picture comes next: catalogue order, or random passes that show every picture
// once and never start a pass with the picture shown last.
#pragma once
#include <cstdint>

// Index of the next picture in catalogue order.
extern int32_t SequencePosition;
// The catalogue indices not yet shown in this pass (the first `PendingRemaining` slots).
extern int32_t* PendingPictures;
extern int32_t PendingRemaining;

// Makes PendingPictures for `count` pictures and starts a pass; false when there is no
// picture or no memory for the list.
bool MakePendingPictures(int32_t count);
void FreePendingPictures();
void StartRandomOrder(int32_t count);

// How many of the pictures chosen last are still on the other monitors (their count less
// one; 0 on one screen). While the catalogue holds at least one picture more than that, a
// random choice avoids them, also across the start of a pass, so no two monitors show the
// same picture.
void SetPicturesStillShown(int32_t count);

// Both copy the chosen path into CurrentPath; call them only with at least one picture.
void NextSequentialPicture();
void NextRandomPicture();
