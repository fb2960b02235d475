#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "archive_writer.h"
#include "support/picture_files.h"
#include "support/scratch_dir.h"

using namespace picture_test;
namespace fs = std::filesystem;

namespace {

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class KvpackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.ready());
        tool = fs::path(kit::buildDir()) / "kvpack";
        ASSERT_TRUE(fs::exists(tool)) << tool;
    }
    // Runs kvpack with `args`; returns its exit code, standard output and error.
    int run(const std::string& args) {
        const std::string command = tool.string() + " " + args + " >" + (root / "out").string() +
                                    " 2>" + (root / "err").string();
        const int status = std::system(command.c_str());
        out = readBytes(root / "out");
        err = readBytes(root / "err");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string p(const std::string& name) const { return (root / name).string(); }
    void makeTree(const fs::path& dir) {
        writeFile((dir / "gfx/sky.bmp").string(), solid(3, 2, kBlue));
        writeFile((dir / "gfx/palm_10.bmp").string(), std::string("\0\1\2\0", 4));
        writeFile((dir / "sfx/splash.wav").string(), "RIFF....");
        writeFile((dir / "Empty").string(), "");
    }

    kit::ScratchDir scratch;
    fs::path root = scratch.path(), tool;
    std::string out, err;
};

TEST_F(KvpackTest, PackListExtractRoundTripsByteForByte) {
    makeTree(root / "data");
    ASSERT_EQ(run("pack " + p("a.dat") + " " + p("data")), 0) << err;
    ASSERT_EQ(run("list " + p("a.dat")), 0) << err;
    // Sorted by name byte for byte; the directory is 4 + 4 * 88 = 356 bytes.
    EXPECT_EQ(out,
              "Empty\t356\t0\n"
              "gfx/palm_10.bmp\t356\t4\n"
              "gfx/sky.bmp\t360\t" +
                  std::to_string(solid(3, 2, kBlue).size()) +
                  "\n"
                  "sfx/splash.wav\t" +
                  std::to_string(360 + solid(3, 2, kBlue).size()) + "\t8\n");
    ASSERT_EQ(run("extract " + p("a.dat") + " " + p("copy")), 0) << err;
    for (const char* name : {"gfx/sky.bmp", "gfx/palm_10.bmp", "sfx/splash.wav", "Empty"}) {
        EXPECT_EQ(readBytes(root / "copy" / name), readBytes(root / "data" / name)) << name;
    }
    EXPECT_EQ(run("check " + p("a.dat")), 0) << err;
    EXPECT_EQ(out, p("a.dat") + ": 4 entries, all readable\n");
}

TEST_F(KvpackTest, SameFilesGiveTheSameBytes) {
    makeTree(root / "one");
    // The same tree written in another order.
    writeFile(p("two/sfx/splash.wav"), "RIFF....");
    writeFile(p("two/Empty"), "");
    writeFile(p("two/gfx/sky.bmp"), solid(3, 2, kBlue));
    writeFile(p("two/gfx/palm_10.bmp"), std::string("\0\1\2\0", 4));
    ASSERT_EQ(run("pack " + p("1.dat") + " " + p("one")), 0);
    ASSERT_EQ(run("pack " + p("2.dat") + " " + p("two")), 0);
    EXPECT_EQ(readBytes(p("1.dat")), readBytes(p("2.dat")));
}

TEST_F(KvpackTest, PackingIntoTheFolderLeavesTheArchiveItselfOut) {
    makeTree(root / "data");
    ASSERT_EQ(run("pack " + p("data/a.dat") + " " + p("data")), 0) << err;
    const std::string first = readBytes(p("data/a.dat"));
    // Again, now that the archive lies in the folder, and named another way.
    ASSERT_EQ(run("pack " + p("data/gfx/../a.dat") + " " + p("data")), 0) << err;
    EXPECT_EQ(readBytes(p("data/a.dat")), first);
    ASSERT_EQ(run("list " + p("data/a.dat")), 0);
    EXPECT_EQ(out.find("a.dat"), std::string::npos) << out;
}

TEST_F(KvpackTest, ListingEscapesControlCharactersInNames) {
    writeFile(p("evil.dat"), archive({{"a\tb\nfake\t0\t0", "x"}, {"back\\slash\x01\x7F", "y"}}));
    ASSERT_EQ(run("list " + p("evil.dat")), 0) << err;
    EXPECT_EQ(out, "a\\tb\\nfake\\t0\\t0\t180\t1\nback\\\\slash\\x01\\x7F\t181\t1\n");
}

TEST_F(KvpackTest, NamesLongerThanSeventyNineBytesAreRefused) {
    const std::string longest(79 - 4, 'n');
    writeFile(p("ok/gfx/" + longest), "x");
    EXPECT_EQ(run("pack " + p("ok.dat") + " " + p("ok")), 0) << err;
    writeFile(p("long/gfx/" + longest + "x"), "x");
    EXPECT_NE(run("pack " + p("long.dat") + " " + p("long")), 0);
    EXPECT_NE(err.find("is 80 bytes long; at most 79 fit"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(p("long.dat")));

    std::string error;
    EXPECT_FALSE(kv_archive::writeArchive(p("w.dat"), {{std::string(80, 'a'), {}}}, error));
    EXPECT_FALSE(kv_archive::writeArchive(p("w.dat"), {{"a", {}}, {"a", {}}}, error));
    EXPECT_EQ(error, "name \"a\" appears twice");
    EXPECT_FALSE(kv_archive::writeArchive(p("w.dat"), {{"", {}}}, error));
    EXPECT_FALSE(fs::exists(p("w.dat")));
}

TEST_F(KvpackTest, WrittenArchiveIsReadByTheGame) {
    std::string error;
    ASSERT_TRUE(kv_archive::writeArchive(p("Kestova.dat"),
                                         {{"gfx/b.bin", {1, 2, 3}}, {"gfx/a.bin", {9}}}, error))
        << error;
    const std::string bytes = readBytes(p("Kestova.dat"));
    ASSERT_EQ(bytes.size(), 4u + 2 * 88 + 4);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\2\0\0\0", 4));
    EXPECT_EQ(bytes.substr(4, 10), std::string("gfx/b.bin\0", 10));  // given order kept
    EXPECT_EQ(bytes.substr(180), std::string("\1\2\3\x09", 4));
}

class KvpackCheckTest : public KvpackTest {
  protected:
    void SetUp() override {
        KvpackTest::SetUp();
        good = archive({{"a.bin", "0123456789"}, {"b.bin", "abcdef"}});
    }
    void expectDamage(const std::string& bytes, const std::string& message) {
        writeFile(p("bad.dat"), bytes);
        EXPECT_EQ(run("check " + p("bad.dat")), 1);
        EXPECT_EQ(err, "kvpack: " + p("bad.dat") + ": " + message + "\n");
        EXPECT_NE(run("list " + p("bad.dat")), 0);
        EXPECT_NE(run("extract " + p("bad.dat") + " " + p("x")), 0);
    }
    std::string good;
};

TEST_F(KvpackCheckTest, EachKindOfDamageIsReported) {
    writeFile(p("good.dat"), good);
    EXPECT_EQ(run("check " + p("good.dat")), 0);

    std::string bytes = good;
    pokeLE(bytes, 0, 5);
    expectDamage(bytes, "entry count 5 but only 2 entries are present");
    bytes = good;
    for (size_t i = 0; i < 80; ++i) bytes[entryName(0) + i] = 'q';
    expectDamage(bytes, "entry 0 has no NUL in its name");
    bytes = good;
    pokeLE(bytes, entryOffset(1), 5000);
    expectDamage(bytes, "entry 1 lies outside the archive");
    bytes = good;
    pokeLE(bytes, entrySize(0), 0xFFFFFFFF);
    expectDamage(bytes, "entry 0 has a negative size");
    expectDamage(good.substr(0, 3), "too short to hold an entry count");
    expectDamage(good.substr(0, 100), "entry count 2 but only 1 entries are present");
}

TEST_F(KvpackCheckTest, NegativeCountIsAnEmptyArchive) {
    std::string bytes = good;
    pokeLE(bytes, 0, 0x80000000);
    writeFile(p("neg.dat"), bytes);
    EXPECT_EQ(run("check " + p("neg.dat")), 0) << err;
    EXPECT_EQ(out, p("neg.dat") + ": 0 entries, all readable\n");
}

TEST_F(KvpackCheckTest, ExtractRefusesNamesThatLeaveTheTarget) {
    writeFile(p("evil.dat"), archive({{"../escaped", "x"}}));
    EXPECT_NE(run("extract " + p("evil.dat") + " " + p("x")), 0);
    EXPECT_NE(err.find("would be written outside"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(p("escaped")));
    writeFile(p("abs.dat"), archive({{p("absolute"), "x"}}));
    EXPECT_NE(run("extract " + p("abs.dat") + " " + p("x")), 0);
    EXPECT_FALSE(fs::exists(p("absolute")));
}

TEST_F(KvpackCheckTest, ExtractNeverWritesThroughALinkInTheTarget) {
    writeFile(p("outside/keep"), "old");
    fs::create_directories(p("x"));
    fs::create_directory_symlink(p("outside"), p("x/gfx"));
    fs::create_symlink(p("outside/keep"), p("x/keep"));
    writeFile(p("a.dat"), archive({{"gfx/keep", "new"}}));
    EXPECT_EQ(run("extract " + p("a.dat") + " " + p("x")), 1);
    EXPECT_EQ(err,
              "kvpack: will not write gfx/keep through the symbolic link " + p("x/gfx") + "\n");
    writeFile(p("b.dat"), archive({{"keep", "new"}}));
    EXPECT_EQ(run("extract " + p("b.dat") + " " + p("x")), 1);
    EXPECT_NE(err.find("symbolic link " + p("x/keep")), std::string::npos) << err;
    EXPECT_EQ(readBytes(p("outside/keep")), "old");
    // The target folder itself may be a link: the user chose it.
    fs::create_directory_symlink(p("outside"), p("alias"));
    writeFile(p("c.dat"), archive({{"sub/new", "z"}}));
    EXPECT_EQ(run("extract " + p("c.dat") + " " + p("alias")), 0) << err;
    EXPECT_EQ(readBytes(p("outside/sub/new")), "z");
}

TEST_F(KvpackCheckTest, MissingArchiveAndBadUsage) {
    EXPECT_EQ(run("check " + p("none.dat")), 1);
    EXPECT_NE(err.find("cannot open the archive"), std::string::npos);
    EXPECT_EQ(run("frobnicate x"), 2);
    EXPECT_EQ(run(""), 2);
}

}  // namespace
