#include "pictures/catalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "memory_folders.h"
#include "pictures/ansi_names.h"

namespace {

std::vector<std::string> Catalogue()
{
    std::vector<std::string> paths;
    for (int i = 0; i < PictureCount; ++i) paths.push_back(PictureList[i]->path);
    return paths;
}

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreePictures();
        settings = Settings();
        settings.jpg = settings.bmp = settings.recurse = 1;
        settings.minsizex = settings.minsizey = 100;
        std::strcpy(settings.dir, "C:\\pics");
    }
    void TearDown() override { FreePictures(); }
    Settings settings;
    MemoryFolders folders;
};

TEST(ComparePaths, FoldsLettersAndComparesBytes)
{
    EXPECT_LT(ComparePaths("A.jpg", "b.jpg"), 0);
    EXPECT_LT(ComparePaths("pics\\sub.jpg", "pics\\sub\\x.jpg"), 0);
    EXPECT_LT(ComparePaths("pics\\_x.jpg", "pics\\a.jpg"), 0);
    EXPECT_EQ(ComparePaths("PICS\\A.JPG", "pics\\a.jpg"), 0);
    EXPECT_LT(ComparePaths("pics\\a", "pics\\a.jpg"), 0);
    EXPECT_GT(ComparePaths("pics\\\xe9.jpg", "pics\\z.jpg"), 0);  // bytes above 0x7F sort last
}

TEST(NameCheck, PagesThatRefuseTheFlagsAreCheckedByConvertingBack)
{
    // As the platform documents: with WC_NO_BEST_FIT_CHARS or the used-default report the
    // conversion fails outright on these, and every name would be lost.
    for (unsigned page : {65001u, 65000u, 54936u, 42u, 50220u, 50221u, 50222u, 50225u, 50227u, 50229u,
                          57002u, 57006u, 57011u})
        EXPECT_EQ(NameCheckFor(page), NameCheck::RoundTrip) << page;
    // The single- and double-byte ANSI pages, and the ISCII range's neighbours.
    for (unsigned page : {874u, 932u, 936u, 949u, 950u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u,
                          1257u, 1258u, 57001u, 57012u})
        EXPECT_EQ(NameCheckFor(page), NameCheck::PlatformFlags) << page;
}

TEST(CandidateKind, NeedsANameBeyondItsEndingAndAnAcceptedKind)
{
    Settings s = Settings();
    s.jpg = s.bmp = 1;
    EXPECT_EQ(CandidateKind(".jpg", s), PictureKind::None);
    EXPECT_EQ(CandidateKind("a.jpg", s), PictureKind::Jpeg);
    EXPECT_EQ(CandidateKind("PHOTO.JPG", s), PictureKind::Jpeg);
    EXPECT_EQ(CandidateKind("photo.Bmp", s), PictureKind::Bmp);
    EXPECT_EQ(CandidateKind("x.jpeg", s), PictureKind::None);
    EXPECT_EQ(CandidateKind("x.tif", s), PictureKind::None);
    s.jpg = 2;  // only exactly 1 counts
    EXPECT_EQ(CandidateKind("a.jpg", s), PictureKind::None);
    EXPECT_EQ(KindOfPath("C:\\x\\A.JPG"), PictureKind::Jpeg);
}

TEST_F(CatalogueTest, WalksSubfoldersAndSortsPaths)
{
    folders.AddFile("C:\\pics", "b.jpg");
    folders.AddFile("C:\\pics", "A.BMP");
    folders.AddFile("C:\\pics", "notes.txt");
    folders.AddFile("C:\\pics", ".jpg");
    folders.AddFile("C:\\pics\\sub", "x.jpg");
    folders.AddFile("C:\\pics", "sub.jpg");
    folders.AddFile("C:\\pics\\.old", "hidden.jpg");
    folders.AddFile("C:\\pics\\sub\\deeper", "y.bmp");
    folders.AddFolder("C:\\pics\\folder.jpg");
    EXPECT_EQ(ScanPictures(folders, settings), 5);
    EXPECT_EQ(Catalogue(), (std::vector<std::string>{"C:\\pics\\A.BMP", "C:\\pics\\b.jpg", "C:\\pics\\sub.jpg",
                                                     "C:\\pics\\sub\\deeper\\y.bmp", "C:\\pics\\sub\\x.jpg"}));
    // Scanning again gives the same catalogue.
    EXPECT_EQ(ScanPictures(folders, settings), 5);
    EXPECT_EQ(Catalogue().front(), "C:\\pics\\A.BMP");
}

TEST_F(CatalogueTest, FiltersFollowTheSettings)
{
    folders.AddFile("C:\\pics", "a.jpg");
    folders.AddFile("C:\\pics", "b.bmp");
    folders.AddFile("C:\\pics\\sub", "c.jpg");
    settings.recurse = 0;
    EXPECT_EQ(ScanPictures(folders, settings), 2);
    settings.recurse = 1;
    settings.bmp = 0;
    EXPECT_EQ(ScanPictures(folders, settings), 2);
    settings.jpg = 0;
    EXPECT_EQ(ScanPictures(folders, settings), 0);
    EXPECT_EQ(PictureList, nullptr);
}

TEST_F(CatalogueTest, MinimalSizeAsksTheLibraryOnlyWhenOn)
{
    folders.AddFile("C:\\pics", "square.jpg", 100, 100);
    folders.AddFile("C:\\pics", "short.jpg", 100, 99);
    folders.AddFile("C:\\pics", "narrow.bmp", 99, 100);
    folders.AddFile("C:\\pics", "broken.jpg", 0, 0);
    EXPECT_EQ(ScanPictures(folders, settings), 4);
    EXPECT_EQ(folders.sizeQueries, 0);
    settings.minsize = 1;
    EXPECT_EQ(ScanPictures(folders, settings), 1);
    EXPECT_EQ(Catalogue().front(), "C:\\pics\\square.jpg");
    EXPECT_EQ(folders.sizeQueries, 4);
}

TEST_F(CatalogueTest, DriveRootGetsOneBackslash)
{
    folders.AddFile("C:\\", "a.jpg");
    std::strcpy(settings.dir, "C:\\");
    settings.recurse = 0;
    EXPECT_EQ(ScanPictures(folders, settings), 1);
    EXPECT_EQ(Catalogue().front(), "C:\\a.jpg");
}

TEST_F(CatalogueTest, MissingOrEmptyFolderGivesNothing)
{
    // The process stands in a folder with pictures: a walk that went on after failing to
    // enter the picture folder would find them.
    folders.AddFile("C:\\", "stray.jpg");
    folders.AddFile("C:\\other", "stray.bmp");
    std::strcpy(settings.dir, "C:\\nowhere");
    EXPECT_EQ(ScanPictures(folders, settings), 0);
    settings.dir[0] = '\0';
    EXPECT_EQ(ScanPictures(folders, settings), 0);
    folders.AddFolder("C:\\empty");
    std::strcpy(settings.dir, "C:\\empty");
    EXPECT_EQ(ScanPictures(folders, settings), 0);
    EXPECT_EQ(PictureList, nullptr);
}

TEST_F(CatalogueTest, OverlongPathsAreSkippedWithoutHarm)
{
    // A 300-character path: the folder whose name no longer fits contributes nothing,
    // and the walk goes on with its siblings.
    std::string deep = "C:\\pics";
    while (deep.size() < 300) deep += "\\" + std::string(40, 'd');
    folders.AddFile(deep, "lost.jpg");
    folders.AddFile("C:\\pics", std::string(253, 'n') + ".jpg");  // a path longer than the buffer
    folders.AddFile("C:\\pics\\z", "kept.jpg");
    EXPECT_EQ(ScanPictures(folders, settings), 1);
    EXPECT_EQ(Catalogue().front(), "C:\\pics\\z\\kept.jpg");
}

TEST_F(CatalogueTest, NamesBeyondAsciiAreKeptByteForByte)
{
    folders.AddFile("C:\\pics", "caf\xe9.jpg");
    folders.AddFile("C:\\pics\\\xc5rhus", "fjord.jpg");
    folders.AddFile("C:\\pics", "zebra.jpg");
    EXPECT_EQ(ScanPictures(folders, settings), 3);
    EXPECT_EQ(Catalogue(), (std::vector<std::string>{"C:\\pics\\caf\xe9.jpg", "C:\\pics\\zebra.jpg",
                                                     "C:\\pics\\\xc5rhus\\fjord.jpg"}));
}

}  // namespace
