#include "listing/ListingScript.h"
#include "shortcuts/DirectoryLister.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr auto kByName = ListingOrder::ByName;
constexpr auto kByDate = ListingOrder::ByDate;

std::string script(const std::string& directory, const std::string& order, const std::string& out) {
    return "@echo off\r\ndir \"" + directory + "/*.url\" /s /b /o:" + order + "  > \"" + out +
           "\"\r\n";
}

TEST(ListingScript, AcceptsTheScriptsTheProgramWrites) {
    const struct {
        std::string bytes;
        ListingCommand expected;
    } cases[] = {
        // The directory may hold the separator text; the last one separates.
        {script("/x/*.url\" /s /b /o:n  > \"/\xc3\xa9", "d", "/my out/\"x\".txt"),
         {"/x/*.url\" /s /b /o:n  > \"/\xc3\xa9", "/my out/\"x\".txt", kByDate}},
        {script("/x/*.url\" /s /b /o:n  > \"/y", "n", "/o"),
         {"/x/*.url\" /s /b /o:n  > \"/y", "/o", kByName}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseListingScript(c.bytes), c.expected) << c.bytes;
}

TEST(ListingScript, RejectsEverythingElse) {
    const std::string good = script("/d", "n", "/o");
    const std::string bad[] = {
        good.substr(11),
        good + "echo done\r\n",
        script("/d", "x", "/o"),
        script(std::string("/d\0e", 4), "n", "/o"),
        "@echo off\r\ndir \"/d/*.txt\" /s /b /o:n  > \"/o\"\r\n",
        "@echo off\r\ndir \"/d/*.url\" /s /b /o:n > \"/o\"\r\n",
    };
    for (const auto& bytes : bad)
        EXPECT_EQ(parseListingScript(bytes), std::nullopt) << bytes;
}

class Listing : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/listing_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }

    void add(const std::string& path, time_t modified = 0) {
        const auto full = fs::path(root_) / path;
        fs::create_directories(full.parent_path());
        std::ofstream(full).put('x');
        const timespec times[2] = {{modified, 0}, {modified, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, full.c_str(), times, 0), 0);
    }

    std::string list(ListingOrder order) {
        std::FILE* out = std::tmpfile();
        outcome_ = DirectoryLister(order, fileno(out), stderr).list(root_);
        std::string text(static_cast<std::size_t>(ftell(out)), '\0');
        std::rewind(out);
        text.resize(std::fread(text.data(), 1, text.size(), out));
        std::fclose(out);
        return text;
    }

    std::string lines(std::initializer_list<std::string> paths) const { // as the runner writes
        std::string text;
        for (const auto& path : paths)
            text += root_ + "/" + path + "\r\n";
        return text;
    }

    std::string root_;
    ListingOutcome outcome_;
};

TEST_F(Listing, ListsFilesByNameThenSubdirectoriesDepthFirst) {
    // Names that would not read back the same (a line break, an overlong '.') are skipped.
    for (const char* path : {"b.url", "B.url", "a.url", "A.url", "c.URL", "note.txt", "url",
                             "\xf0\x9f\x98\x80.url", "\xc0\xae.url", "bad\r/x.url", "Zeta/y.url",
                             "sub.url/z.url", "alpha/a2.Url", "alpha/deep/d.url"})
        add(path);
    EXPECT_EQ(list(kByName),
              lines({"A.url", "a.url", "B.url", "b.url", "c.URL", "\xf0\x9f\x98\x80.url",
                     "alpha/a2.Url", "alpha/deep/d.url", "sub.url/z.url", "Zeta/y.url"}));
    EXPECT_EQ(outcome_.filesListed, 10u);
    EXPECT_EQ(outcome_.entriesSkipped, 2u);
}

TEST_F(Listing, ListsFilesOldestFirstWithTiesByName) {
    for (const auto& [path, modified] : {std::pair{"new.url", 3},
                                         {"old.url", 1},
                                         {"tieB.url", 2},
                                         {"tieA.url", 2},
                                         {"s/l.url", 0}})
        add(path, modified);
    EXPECT_EQ(list(kByDate), lines({"old.url", "tieA.url", "tieB.url", "new.url", "s/l.url"}));
}

TEST_F(Listing, FollowsLinksToFilesButNotToDirectories) {
    add("loop/inner.url");
    add("real.txt");
    fs::create_directory_symlink("..", root_ + "/loop/back");
    fs::create_directory_symlink("loop", root_ + "/dir.url");
    fs::create_symlink("real.txt", root_ + "/link.url");
    fs::create_symlink("missing", root_ + "/dangling.url");
    EXPECT_EQ(list(kByName), lines({"link.url", "loop/inner.url"}));
}

} // namespace
