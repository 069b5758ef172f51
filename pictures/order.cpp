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
    StartRandomOrder(count);
    return true;
}

void FreePendingPictures()
{
    std::free(PendingPictures);
    PendingPictures = nullptr;
    PendingRemaining = 0;
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
    ChoosePath(PendingPictures[k]);
    PendingPictures[k] = PendingPictures[PendingRemaining - 1];
    if (PendingRemaining > 1)
        --PendingRemaining;
    else
        StartRandomOrder(PictureCount);
}
