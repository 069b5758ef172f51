#include "pictures/catalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "memory_folders.h"
#include "pictures/ansi_names.h"
#include "pictures/wide_text.h"

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
    EXPECT_LT(ComparePaths("PICS\\A.JPG", "pics\\b.jpg"), 0);
    // Equal once folded: the letter case decides, so the order never depends on the walk.
    EXPECT_LT(ComparePaths("PICS\\A.JPG", "pics\\a.jpg"), 0);
    EXPECT_EQ(ComparePaths("pics\\a.jpg", "pics\\a.jpg"), 0);
    EXPECT_LT(ComparePaths("pics\\a", "pics\\a.jpg"), 0);
    EXPECT_GT(ComparePaths("pics\\\xc3\xa9.jpg", "pics\\z.jpg"), 0);  // bytes above 0x7F sort last
}

// A Cyrillic code page in miniature: ASCII, and U+0410..U+044F as bytes 0xC0..0xFF.
class CyrillicPage : public AnsiSpelling {
public:
    int Spell(uint32_t c, unsigned char (&out)[4]) override
    {
        if (c >= 0x80 && (c < 0x410 || c > 0x44F)) return 0;
        out[0] = static_cast<unsigned char>(c < 0x80 ? c : c - 0x410 + 0xC0);
        return 1;
    }
};

TEST(ComparePaths, NamesTheCodePageCannotSpellComeAfterThoseItCan)
{
    CyrillicPage page;
    SetPathSpelling(&page);
    // In the order the rule gives: ASCII, the code page's bytes (no folding beyond A-Z),
    // then what it cannot spell by code point (Greek, CJK, emoji), shorter paths first.
    const char* sorted[] = {
        "C:\\p\\a.jpg",
        "C:\\p\\z.jpg",
        "C:\\p\\\xd0\xaf.jpg",          // Cyrillic capital ya, 0xDF
        "C:\\p\\\xd1\x8f.jpg",          // small ya, 0xFF
        "C:\\p\\\xce\xb1",              // Greek alpha, U+03B1
        "C:\\p\\\xce\xb1.jpg",
        "C:\\p\\\xce\xb1\\x.jpg",
        "C:\\p\\\xd0\x80.jpg",          // U+0400: shares its first byte with capital ya
        "C:\\p\\\xe6\x97\xa5.jpg",      // U+65E5
        "C:\\p\\\xed\xa0\x80.jpg",      // an unpaired surrogate a file name may hold, U+D800
        "C:\\p\\\xf0\x9f\x98\x80.jpg",  // U+1F600
        "C:\\p\\\xff.jpg",                // a stray byte, after every code point
    };
    const size_t n = sizeof sorted / sizeof sorted[0];
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j) {
            const int order = ComparePaths(sorted[i], sorted[j]);
            EXPECT_EQ((order > 0) - (order < 0), (i > j) - (i < j)) << sorted[i] << " / " << sorted[j];
        }
    SetPathSpelling(nullptr);
}

TEST(WideText, EveryFileNameConvertsBackExactly)
{
    const std::u16string names[] = {
        u"plain.jpg", u"caf\u00e9.jpg", u"\u5199\u771f.jpg", u"\U0001F600.bmp",
        std::u16string(u"a\xd800" u"b.jpg"),  // an unpaired surrogate, as names may hold
        std::u16string(u"\xdc00"),
    };
    for (const std::u16string& name : names) {
        std::string text;
        AppendUtf8(text, name.data(), name.size());
        EXPECT_EQ(Utf16Of(text.c_str()), name);
        EXPECT_EQ(Utf16Length(text.data(), text.size()), name.size());
    }
    // Bytes that start no sequence (overlong, cut short, past U+10FFFF) read as U+FFFD.
    EXPECT_EQ(Utf16Of("\xc0\xaf" "a\xe6\x97" "b\xf4\x90\x80\x80"), std::u16string(u"\ufffd\ufffda\ufffd\ufffdb\ufffd\ufffd\ufffd\ufffd"));
}

TEST(WideText, LongPathsGetThePrefixTheirKindNeeds)
{
    const std::string folder(260, 'f');
    EXPECT_EQ(PlatformPath("C:\\a.jpg"), u"C:\\a.jpg");
    EXPECT_EQ(PlatformPath(("C:\\" + folder).c_str()), u"\\\\?\\C:\\" + std::u16string(260, u'f'));
    EXPECT_EQ(PlatformPath(("\\\\server\\share\\" + folder).c_str()),
              u"\\\\?\\UNC\\server\\share\\" + std::u16string(260, u'f'));
    EXPECT_EQ(PlatformPath(("\\\\?\\C:\\" + folder).c_str()), u"\\\\?\\C:\\" + std::u16string(260, u'f'));
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
    // A 300-character path is as good as any; one past the platform's 32,767 characters
    // could not be opened and contributes nothing, and the walk goes on with its siblings.
    std::string deep = "C:\\pics";
    while (deep.size() < 300) deep += "\\" + std::string(40, 'd');
    folders.AddFile(deep, "found.jpg");
    std::string tooDeep = "C:\\pics\\t";
    while (tooDeep.size() < 32767) tooDeep += "\\" + std::string(200, 'e');
    folders.AddFile(tooDeep, "lost.jpg");
    folders.AddFile("C:\\pics", std::string(32767, 'n') + ".jpg");
    folders.AddFile("C:\\pics\\z", "kept.jpg");
    EXPECT_EQ(ScanPictures(folders, settings), 2);
    EXPECT_EQ(Catalogue(), (std::vector<std::string>{deep + "\\found.jpg", "C:\\pics\\z\\kept.jpg"}));
}

TEST_F(CatalogueTest, NamesBeyondAsciiAreKeptByteForByte)
{
    folders.AddFile("C:\\pics", "caf\xc3\xa9.jpg");
    folders.AddFile("C:\\pics\\\xc3\x85rhus", "fjord.jpg");
    folders.AddFile("C:\\pics", "zebra.jpg");
    EXPECT_EQ(ScanPictures(folders, settings), 3);
    EXPECT_EQ(Catalogue(), (std::vector<std::string>{"C:\\pics\\caf\xc3\xa9.jpg", "C:\\pics\\zebra.jpg",
                                                     "C:\\pics\\\xc3\x85rhus\\fjord.jpg"}));
}

// Scans with a size cache loaded from `bytes` (none: an empty one) and keeps what a scan
// leaves for the next.
class SizeCacheScan : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        settings.minsize = 1;
        folders.AddFile("C:\\pics", "big.jpg", 200, 200, {5000, 7});
        folders.AddFile("C:\\pics", "small.jpg", 50, 50, {3000, 7});
        folders.AddFile("C:\\pics\\trip", "beach.bmp", 300, 200, {9000, 7});
        folders.AddFile("C:\\pics\\trip", "notes.txt", 0, 0, {10, 7});
    }
    // The catalogue, and how many headers the scan read.
    std::pair<std::vector<std::string>, int> Scan(bool loadable = true)
    {
        SizeCache sizes(0x1234);
        EXPECT_EQ(sizes.Load(saved), loadable);
        folders.sizeQueries = 0;
        ScanPictures(folders, settings, &sizes);
        changed = sizes.Changed();
        if (changed) saved = sizes.Serialise();
        return {Catalogue(), folders.sizeQueries};
    }
    std::vector<std::string> WithoutCache()
    {
        ScanPictures(folders, settings);
        return Catalogue();
    }
    std::vector<uint8_t> saved;
    bool changed = false;
};

TEST_F(SizeCacheScan, SecondScanReadsNoHeaderAndFindsTheSamePictures)
{
    const std::vector<std::string> expected = {"C:\\pics\\big.jpg", "C:\\pics\\trip\\beach.bmp"};
    saved.clear();
    EXPECT_EQ(Scan(false), std::make_pair(expected, 3));
    EXPECT_TRUE(changed);
    EXPECT_EQ(Scan(), std::make_pair(expected, 0));
    EXPECT_FALSE(changed);  // nothing to write
    // With the minimal size off the cache is neither asked nor fed.
    settings.minsize = 0;
    EXPECT_EQ(Scan().second, 0);
    EXPECT_FALSE(changed);
}

TEST_F(SizeCacheScan, ChangedFilesAreMeasuredAgainAndGoneOnesDropOut)
{
    Scan(false);
    struct Case {
        const char* what;
        void (*change)(MemoryFolders&);
        int headersRead;
    } cases[] = {
        {"same size, new time",
         [](MemoryFolders& f) { f.AddFile("C:\\pics", "small.jpg", 150, 150, {3000, 8}); }, 1},
        {"new size, same time",
         [](MemoryFolders& f) { f.AddFile("C:\\pics", "big.jpg", 20, 20, {5001, 8}); }, 1},
        {"deleted", [](MemoryFolders& f) { f.RemoveFile("C:\\pics", "small.jpg"); }, 0},
        {"folder renamed",
         [](MemoryFolders& f) {
             f.RemoveFolder("C:\\pics\\trip");
             f.AddFile("C:\\pics\\holiday", "beach.bmp", 300, 200, {9000, 7});
         },
         1},
        {"new file", [](MemoryFolders& f) { f.AddFile("C:\\pics", "new.jpg", 640, 480, {70, 9}); }, 1},
    };
    for (const Case& c : cases) {
        c.change(folders);
        const auto scanned = Scan();
        EXPECT_EQ(scanned.second, c.headersRead) << c.what;
        EXPECT_TRUE(changed) << c.what;
        EXPECT_EQ(scanned.first, WithoutCache()) << c.what;
        EXPECT_EQ(Scan().second, 0) << c.what;  // learnt
    }
    // Only what is there is remembered: five files are left, the renamed folder's one.
    SizeCache sizes;
    ASSERT_TRUE(sizes.Load(saved));
    EXPECT_EQ(sizes.LoadedRecords(), 3u);
    int width = 0, height = 0;
    EXPECT_FALSE(sizes.Find("C:\\pics\\trip\\beach.bmp", {9000, 7}, width, height));
    EXPECT_TRUE(sizes.Find("C:\\pics\\holiday\\beach.bmp", {9000, 7}, width, height));
}

TEST_F(SizeCacheScan, AFileReplacedWithTheSameSizeAndTimeFoolsIt)
{
    // The stamp is all the folder search gives for free: the old size answers.
    Scan(false);
    folders.AddFile("C:\\pics", "small.jpg", 400, 400, {3000, 7});
    EXPECT_EQ(Scan().first, (std::vector<std::string>{"C:\\pics\\big.jpg", "C:\\pics\\trip\\beach.bmp"}));
}

TEST_F(SizeCacheScan, DamagedCachesAreIgnoredWhole)
{
    Scan(false);
    const std::vector<uint8_t> good = saved;
    const std::vector<std::string> expected = WithoutCache();
    std::vector<std::vector<uint8_t>> damaged = {
        {},
        std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2),  // truncated
        std::vector<uint8_t>(good.begin(), good.end() - 1),
        std::vector<uint8_t>(good.size(), 0),
    };
    for (size_t at : {size_t(0), size_t(9), size_t(20), size_t(30), good.size() / 2, good.size() - 1}) {
        damaged.push_back(good);
        damaged.back()[at] ^= 0x40;  // one changed byte anywhere
    }
    for (size_t i = 0; i < damaged.size(); ++i) {
        saved = damaged[i];
        const auto scanned = Scan(false);
        EXPECT_EQ(scanned, std::make_pair(expected, 3)) << i;
    }
}

TEST_F(SizeCacheScan, WhatTheScanDidNotLookAtIsKept)
{
    Scan(false);
    // Subfolders unwalked and kinds left out keep their sizes for when they come back.
    settings.recurse = 0;
    settings.jpg = 0;
    EXPECT_EQ(Scan().second, 0);
    settings.recurse = settings.jpg = 1;
    EXPECT_EQ(Scan().second, 0);
    // Another folder setting: nothing in common, so everything is read, and the first
    // folder's sizes stay for when it comes back.
    folders.AddFile("C:\\other", "x.jpg", 500, 500, {1, 1});
    std::strcpy(settings.dir, "C:\\other");
    EXPECT_EQ(Scan().second, 1);
    std::strcpy(settings.dir, "C:\\pics");
    EXPECT_EQ(Scan().second, 0);
}

TEST(SizeCache, HostileCountsAndLengthsAreRefused)
{
    SizeCache sizes;
    sizes.Keep("C:\\a.jpg", {1, 2}, 3, 4, true);
    std::vector<uint8_t> bytes = sizes.Serialise();
    ASSERT_TRUE(SizeCache().Load(bytes));
    // Re-sealed after the change, so only the structure can refuse it.
    auto reseal = [](std::vector<uint8_t> b, size_t at, uint8_t value) {
        b[at] = value;
        uint64_t h = 0xcbf29ce484222325ull;
        for (size_t i = 0; i + 8 < b.size(); ++i) h = (h ^ b[i]) * 0x100000001b3ull;
        for (int i = 0; i < 8; ++i) b[b.size() - 8 + i] = uint8_t(h >> (8 * i));
        return b;
    };
    EXPECT_TRUE(SizeCache().Load(reseal(bytes, 16, 1)));     // another size: still whole
    EXPECT_FALSE(SizeCache().Load(reseal(bytes, 8, 2)));     // two records claimed
    EXPECT_FALSE(SizeCache().Load(reseal(bytes, 15, 0x80))); // a huge count
    EXPECT_FALSE(SizeCache().Load(reseal(bytes, 35, 0x80))); // a negative width
    EXPECT_FALSE(SizeCache().Load(reseal(bytes, 40, 9)));    // a path past the end
    EXPECT_FALSE(SizeCache().Load(reseal(bytes, 44, 0)));    // a NUL in the path
}

}  // namespace
