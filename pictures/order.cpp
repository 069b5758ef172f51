#include "pictures/order.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/random.h"
#include "pictures/allocation_faults.h"
#include "pictures/catalogue.h"

int32_t SequencePosition = 0;
int32_t* PendingPictures = nullptr;
int32_t PendingRemaining = 0;

namespace {

// The indices chosen last, the latest first; the first g_stillShown of them are on screen.
constexpr int32_t kMostStillShown = 16;
int32_t g_chosenLast[kMostStillShown];
int32_t g_chosenCount = 0;
int32_t g_stillShown = 0;

bool StillShown(int32_t index)
{
    if (PictureCount <= g_stillShown) return false;
    for (int32_t i = 0; i < g_stillShown && i < g_chosenCount; ++i)
        if (g_chosenLast[i] == index) return true;
    return false;
}

void Remember(int32_t index)
{
    for (int32_t i = kMostStillShown - 1; i > 0; --i) g_chosenLast[i] = g_chosenLast[i - 1];
    g_chosenLast[0] = index;
    if (g_chosenCount < kMostStillShown) ++g_chosenCount;
}

void ChoosePath(int32_t index)
{
    // Copied to its end only: the buffer has room for the longest path there is.
    const char* path = PictureList[index]->path;
    const size_t length = std::min(std::strlen(path), size_t(kLongPathSize - 1));
    std::memcpy(CurrentPath, path, length);
    CurrentPath[length] = '\0';
}

}  // namespace

bool MakePendingPictures(int32_t count)
{
    FreePendingPictures();
    if (count < 1 || AllocationFails(PictureAllocation::PendingList)) return false;
    PendingPictures = static_cast<int32_t*>(std::calloc(size_t(count), sizeof(int32_t)));
    if (!PendingPictures) return false;
    g_chosenCount = 0;
    StartRandomOrder(count);
    return true;
}

void FreePendingPictures()
{
    std::free(PendingPictures);
    PendingPictures = nullptr;
    PendingRemaining = 0;
}

void SetPicturesStillShown(int32_t count)
{
    g_stillShown = count < 0 ? 0 : count > kMostStillShown ? kMostStillShown : count;
    g_chosenCount = 0;
}

void StartRandomOrder(int32_t count)
{
    for (int32_t i = 0; i < count; ++i) PendingPictures[i] = i;
    PendingRemaining = count;
}

void NextSequentialPicture()
{
    ChoosePath(SequencePosition);
    if (++SequencePosition == PictureCount) SequencePosition = 0;
}

void NextRandomPicture()
{
    int32_t k = RandomValue() % PendingRemaining;
    // A pass never begins with the picture the previous pass ended with.
    if (PictureCount > 1 && PendingRemaining == PictureCount) {
        while (std::strcmp(PictureList[PendingPictures[k]]->path, CurrentPath) == 0)
            k = RandomValue() % PendingRemaining;
    }
    // Within a pass every choice is new; only the previous pass's last pictures can still
    // be on another monitor, and enough others wait in the pass while PictureCount exceeds
    // their number.
    while (StillShown(PendingPictures[k])) k = RandomValue() % PendingRemaining;
    Remember(PendingPictures[k]);
    ChoosePath(PendingPictures[k]);
    PendingPictures[k] = PendingPictures[PendingRemaining - 1];
    if (PendingRemaining > 1)
        --PendingRemaining;
    else
        StartRandomOrder(PictureCount);
}
