#include "pictures/order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/random.h"
#include "memory_folders.h"
#include "pictures/catalogue.h"

namespace {

class OrderTest : public ::testing::Test {
protected:
    void Catalogue(int count)
    {
        MemoryFolders folders;
        for (int i = 0; i < count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%06d.jpg", i);
            folders.AddFile("C:\\p", name);
        }
        Settings settings = Settings();
        settings.jpg = 1;
        std::strcpy(settings.dir, "C:\\p");
        ASSERT_EQ(ScanPictures(folders, settings), count);
        ASSERT_TRUE(MakePendingPictures(count));
        CurrentPath[0] = '\0';
        SequencePosition = 0;
        SeedRandom(1);
    }
    void TearDown() override
    {
        FreePendingPictures();
        FreePictures();
    }
    static int Index() { return std::atoi(std::strrchr(CurrentPath, '\\') + 1); }
    std::vector<int> Random(int draws)
    {
        std::vector<int> chosen;
        for (int i = 0; i < draws; ++i) {
            NextRandomPicture();
            chosen.push_back(Index());
        }
        return chosen;
    }
};

TEST_F(OrderTest, SequentialOrderWrapsAround)
{
    Catalogue(3);
    std::vector<int> chosen;
    for (int i = 0; i < 7; ++i) {
        NextSequentialPicture();
        chosen.push_back(Index());
    }
    EXPECT_EQ(chosen, (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
}

TEST_F(OrderTest, OnePictureIsChosenEveryTimeWithOneDrawEach)
{
    Catalogue(1);
    EXPECT_EQ(Random(5), (std::vector<int>{0, 0, 0, 0, 0}));
    SeedRandom(1);
    for (int i = 0; i < 5; ++i) RandomValue();
    const uint32_t afterFive = RandomSeed();
    Catalogue(1);
    Random(5);
    EXPECT_EQ(RandomSeed(), afterFive);
}

TEST_F(OrderTest, TwoPicturesAlternate)
{
    Catalogue(2);
    std::vector<int> chosen = Random(20);
    for (size_t i = 1; i < chosen.size(); ++i) EXPECT_NE(chosen[i], chosen[i - 1]) << i;
}

TEST_F(OrderTest, EveryPassShowsEachPictureOnceAndNeverRepeatsAcrossTheBoundary)
{
    for (int count : {3, 7}) {
        Catalogue(count);
        std::vector<int> chosen = Random(count * 30);
        for (int pass = 0; pass < 30; ++pass) {
            std::vector<int> group(chosen.begin() + pass * count, chosen.begin() + (pass + 1) * count);
            std::sort(group.begin(), group.end());
            for (int i = 0; i < count; ++i) EXPECT_EQ(group[i], i) << "pass " << pass;
        }
        for (size_t i = 1; i < chosen.size(); ++i) EXPECT_NE(chosen[i], chosen[i - 1]);
    }
}

TEST_F(OrderTest, PassesReachPicturesBeyondTheGeneratorsRange)
{
    const int count = 40000;
    Catalogue(count);
    std::vector<int> seen(count, 0);
    for (int i = 0; i < count; ++i) {
        NextRandomPicture();
        ++seen[Index()];
    }
    for (int i = 0; i < count; ++i) ASSERT_EQ(seen[i], 1) << i;
    EXPECT_EQ(PendingRemaining, count);  // the next pass has begun
}

TEST_F(OrderTest, MonitorsNeverShowOnePictureTwiceAndEveryPassHoldsEachOnce)
{
    for (int monitors = 2; monitors <= 4; ++monitors) {
        for (int count = monitors; count <= monitors + 3; ++count) {
            Catalogue(count);
            SetPicturesStillShown(monitors - 1);
            const std::vector<int> chosen = Random(count * 40);
            for (size_t i = 0; i + monitors <= chosen.size(); ++i) {
                std::vector<int> onScreen(chosen.begin() + i, chosen.begin() + i + monitors);
                std::sort(onScreen.begin(), onScreen.end());
                EXPECT_EQ(std::adjacent_find(onScreen.begin(), onScreen.end()), onScreen.end())
                    << monitors << " monitors, " << count << " pictures, at " << i;
            }
            for (size_t pass = 0; pass < chosen.size(); pass += count) {
                std::vector<int> each(chosen.begin() + pass, chosen.begin() + pass + count);
                std::sort(each.begin(), each.end());
                for (int k = 0; k < count; ++k) EXPECT_EQ(each[k], k);
            }
            TearDown();
        }
    }
    // Fewer pictures than monitors: every pass still holds each once, repeats are unavoidable.
    Catalogue(2);
    SetPicturesStillShown(2);
    std::vector<int> chosen = Random(8);
    for (size_t pass = 0; pass < chosen.size(); pass += 2) EXPECT_NE(chosen[pass], chosen[pass + 1]);
    SetPicturesStillShown(0);
}

}  // namespace
