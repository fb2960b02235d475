#include <gtest/gtest.h>

#include <string>

#include "services/zef_file_manager.h"
#include "support/picture_files.h"

using namespace picture_test;

namespace {

class FileManagerTest : public EngineFixture {
  protected:
    ZefFileManager& files() { return *engine->fileManager; }
    std::string readAll(const std::string& name) {
        auto stream = files().openFile(name);
        std::string out(stream->size(), '\0');
        EXPECT_EQ(stream->read(out.data(), out.size()), out.size());
        return out;
    }
};

TEST_F(FileManagerTest, LooseModeReadsTheDiskUntilAnArchiveIsSelected) {
    writeFile("gfx/loose.bmp", "loose bytes");
    EXPECT_FALSE(files().archiveSelected);
    EXPECT_TRUE(files().fileExists("gfx/loose.bmp"));
    EXPECT_FALSE(files().fileExists("gfx"));  // a directory is not a file
    int32_t size = 0;
    auto stream = files().openFile("gfx/loose.bmp", &size);
    EXPECT_EQ(size, 11);
    EXPECT_EQ(readAll("gfx/loose.bmp"), "loose bytes");

    useArchive({{"other.bin", "x"}});
    EXPECT_FALSE(files().fileExists("gfx/loose.bmp"));
    files().setArchive("0");
    EXPECT_FALSE(files().archiveSelected);
    EXPECT_TRUE(files().archiveName.empty());
    EXPECT_TRUE(files().fileExists("gfx/loose.bmp"));
}

TEST_F(FileManagerTest, ArchiveNamesMatchByteForByte) {
    useArchive({{"gfx/sky.bmp", "SKY"}, {"sfx/splash.wav", "SPLASH"}});
    EXPECT_TRUE(files().archiveSelected);
    EXPECT_TRUE(files().fileExists("gfx/sky.bmp"));
    EXPECT_FALSE(files().fileExists("gfx/Sky.bmp"));
    EXPECT_FALSE(files().fileExists("gfx\\sky.bmp"));
    EXPECT_FALSE(files().fileExists("gfx/sky.bm"));
    EXPECT_FALSE(files().fileExists("gfx/sky.bmpx"));
    EXPECT_EQ(readAll("sfx/splash.wav"), "SPLASH");
}

TEST_F(FileManagerTest, TheFirstOfTwoEqualNamesWins) {
    useArchive({{"a.txt", "first"}, {"a.txt", "second"}});
    EXPECT_EQ(readAll("a.txt"), "first");
}

TEST_F(FileManagerTest, NameOfSeventyNineBytesIsFound) {
    const std::string name(79, 'n');
    useArchive({{name, "long"}});
    EXPECT_EQ(readAll(name), "long");
}

TEST_F(FileManagerTest, StreamsAreIndependentAndStopAtTheirEntry) {
    useArchive({{"one", "AAAA"}, {"two", "BBBBBB"}});
    auto one = files().openFile("one");
    auto two = files().openFile("two");
    char buffer[16] = {};
    EXPECT_EQ(one->read(buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "AA");
    EXPECT_EQ(two->position(), 0u);
    // Asking for more than the entry holds gives the entry's bytes only.
    EXPECT_EQ(one->read(buffer, sizeof buffer), 2u);
    EXPECT_EQ(one->remaining(), 0u);
    EXPECT_EQ(one->read(buffer, 1), 0u);
    EXPECT_EQ(two->read(buffer, sizeof buffer), 6u);
    EXPECT_EQ(std::string(buffer, 6), "BBBBBB");
    // A byte at a time reads the same bytes.
    auto again = files().openFile("one");
    std::string bytes;
    for (char c = 0; again->read(&c, 1) == 1;) bytes += c;
    EXPECT_EQ(bytes, "AAAA");
}

TEST_F(FileManagerTest, EmptyArchiveLoadsAndEveryOpenEndsTheProgram) {
    useArchive({});
    EXPECT_TRUE(files().directory.empty());
    EXPECT_EXIT(files().openFile("gfx/sky.bmp"), ::testing::ExitedWithCode(255),
                "ZefDX::checkFile\\(\\): 'Cannot open file gfx/sky.bmp'");
}

TEST_F(FileManagerTest, WrongCaseEndsTheProgramThroughCheckFile) {
    useArchive({{"gfx/sky.bmp", "SKY"}});
    EXPECT_EXIT(files().checkFile("GFX/SKY.BMP"), ::testing::ExitedWithCode(255),
                "Cannot open file GFX/SKY.BMP");
}

TEST_F(FileManagerTest, MissingArchiveEndsTheProgram) {
    EXPECT_EXIT(files().setArchive("Kestova.dat"), ::testing::ExitedWithCode(255),
                "ZefDX::checkFile\\(\\): 'Cannot open file Kestova.dat'");
    EXPECT_EXIT(files().setArchive(""), ::testing::ExitedWithCode(255), "Cannot open file");
}

// Each kind of damage is refused when the archive is selected, with the
// archive's name and what is wrong.
class DamagedArchiveTest : public FileManagerTest {
  protected:
    std::string good() { return archive({{"a.bin", "0123456789"}, {"b.bin", "abcdef"}}); }
    void expectRefused(const std::string& bytes, const std::string& message) {
        writeFile("Kestova.dat", bytes);
        EXPECT_EXIT(files().setArchive("Kestova.dat"), ::testing::ExitedWithCode(255),
                    "ZefFileManager::setArchive\\(\\): 'Kestova.dat: " + message);
    }
};

TEST_F(DamagedArchiveTest, CountBeyondTheEntriesPresent) {
    std::string bytes = good();
    pokeLE(bytes, 0, 3);
    expectRefused(bytes, "entry count 3 but only 2 entries are present");
    pokeLE(bytes, 0, 0x7FFFFFFF);
    expectRefused(bytes, "entry count 2147483647 but only 2 entries are present");
}

TEST_F(DamagedArchiveTest, NegativeCountIsAnEmptyDirectory) {
    std::string bytes = good();
    pokeLE(bytes, 0, 0xFFFFFFFF);
    writeFile("Kestova.dat", bytes);
    files().setArchive("Kestova.dat");
    EXPECT_TRUE(files().archiveSelected);
    EXPECT_TRUE(files().directory.empty());
    EXPECT_EXIT(files().openFile("a.bin"), ::testing::ExitedWithCode(255),
                "ZefDX::checkFile\\(\\): 'Cannot open file a.bin'");
}

TEST_F(DamagedArchiveTest, TooShortForACount) {
    expectRefused("\x01\x00", "too short to hold an entry count");
    expectRefused("", "too short to hold an entry count");
}

TEST_F(DamagedArchiveTest, NameWithoutItsNul) {
    std::string bytes = good();
    for (size_t i = 0; i < 80; ++i) bytes[entryName(1) + i] = 'x';
    expectRefused(bytes, "entry 1 has no NUL in its name");
}

TEST_F(DamagedArchiveTest, OffsetOrSizeOutsideTheFile) {
    std::string bytes = good();
    pokeLE(bytes, entryOffset(1), uint32_t(bytes.size()));  // starts at the end, 6 bytes long
    expectRefused(bytes, "entry 1 lies outside the archive");
    bytes = good();
    pokeLE(bytes, entrySize(0), 1000);
    expectRefused(bytes, "entry 0 lies outside the archive");
    bytes = good();
    pokeLE(bytes, entryOffset(0), 0xFFFFFFF0);  // negative offset
    expectRefused(bytes, "entry 0 lies outside the archive");
    bytes = good();
    // Offset and size each fit, their sum overflows 32 bits.
    pokeLE(bytes, entryOffset(1), 0x7FFFFFF0);
    pokeLE(bytes, entrySize(1), 0x7FFFFFF0);
    expectRefused(bytes, "entry 1 lies outside the archive");
}

TEST_F(DamagedArchiveTest, NegativeSize) {
    std::string bytes = good();
    pokeLE(bytes, entrySize(1), 0xFFFFFFFE);
    expectRefused(bytes, "entry 1 has a negative size");
}

TEST_F(DamagedArchiveTest, EntryEndingExactlyAtTheFileEndIsAccepted) {
    std::string bytes = good();
    writeFile("Kestova.dat", bytes);
    files().setArchive("Kestova.dat");
    EXPECT_EQ(readAll("b.bin"), "abcdef");
    // An empty entry at the very end is fine too.
    pokeLE(bytes, entryOffset(1), uint32_t(bytes.size()));
    pokeLE(bytes, entrySize(1), 0);
    writeFile("Kestova.dat", bytes);
    files().setArchive("Kestova.dat");
    EXPECT_EQ(readAll("b.bin"), "");
}

}  // namespace
