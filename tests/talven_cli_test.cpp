// SPDX-License-Identifier: MIT
// The contract of the TALVEN_En.exe executable, run for real in a fresh
// temporary directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "talven/segmenter.h"

namespace fs = std::filesystem;

namespace {

class TalvenCli : public ::testing::Test {
protected:
    fs::path dir;

    void SetUp() override {
        std::string templ = (fs::temp_directory_path() / "talven-cli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(templ.data()), nullptr);
        dir = templ;
    }

    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }

    void write(const std::string& name, const std::string& bytes) {
        std::ofstream out(dir / name, std::ios::binary);
        out << bytes;
    }

    std::string read(const std::string& name) {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Runs the segmenter in `dir` with a shell-quoted argument string;
    // returns its exit status and leaves standard error in `err`.
    int run(const std::string& args, const std::string& prefix = "") {
        std::string cmd =
            "cd '" + dir.string() + "' && " + prefix + "'" TALVEN_EXE "' " + args + " 2>'" +
            (dir.parent_path() / (dir.filename().string() + ".err")).string() + "' >/dev/null";
        int status = std::system(cmd.c_str());
        std::ifstream in(dir.parent_path() / (dir.filename().string() + ".err"));
        err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        fs::remove(dir.parent_path() / (dir.filename().string() + ".err"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::set<std::string> listing() {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    void expect_failure_message() {
        EXPECT_EQ(err.rfind("TALVEN_En.exe: ", 0), 0u) << err;
        EXPECT_GT(err.size(), std::string("TALVEN_En.exe: \n").size());
        EXPECT_EQ(err.back(), '\n');
    }

    std::string err;
};

TEST_F(TalvenCli, WritesOneSentenceALine) {
    write("in.txt", "The first line\nis wrapped. A second one!\n\nHeading\n\nLast.");
    ASSERT_EQ(run("in.txt"), 0) << err;
    EXPECT_EQ(read("in.txt.seg"), "The first line is wrapped.\nA second one!\nHeading\nLast.\n");
    EXPECT_TRUE(err.empty());
    EXPECT_EQ(listing(), (std::set<std::string>{"in.txt", "in.txt.seg"}));
}

TEST_F(TalvenCli, ReplacesAnOldSegFile) {
    write("in.txt", "New text.");
    write("in.txt.seg", "old contents that are much longer than the new ones\n");
    ASSERT_EQ(run("in.txt"), 0) << err;
    EXPECT_EQ(read("in.txt.seg"), "New text.\n");
}

// The sentences of a long text are written as they are found, a piece at a
// time: the file holds them all, in order, and nothing else.
TEST_F(TalvenCli, LongTextIsWrittenWhole) {
    std::string text;
    for (int k = 0; text.size() < 3 * talven::kChunkBytes; ++k) {
        text += "Paragraph " + std::to_string(k) + " starts here. It goes on\nover a line.\n\n";
        text += "a.\nb.\nc.\n";
    }
    write("long.txt", text);
    ASSERT_EQ(run("long.txt"), 0) << err;
    EXPECT_EQ(read("long.txt.seg"), talven::segment_lines(text));
    EXPECT_EQ(listing(), (std::set<std::string>{"long.txt", "long.txt.seg"}));
}

TEST_F(TalvenCli, CrLfLineEnds) {
    write("dos.txt", "A wrapped\r\nline. Next one.\r\n\r\nAnother paragraph.\r\n");
    ASSERT_EQ(run("dos.txt"), 0) << err;
    EXPECT_EQ(read("dos.txt.seg"), "A wrapped line.\nNext one.\nAnother paragraph.\n");
}

TEST_F(TalvenCli, EmptyAndWhiteInputsGiveEmptySeg) {
    write("empty.txt", "");
    write("white.txt", " \r\n\t\f\v\n ");
    ASSERT_EQ(run("empty.txt"), 0) << err;
    ASSERT_EQ(run("white.txt"), 0) << err;
    EXPECT_TRUE(fs::exists(dir / "empty.txt.seg"));
    EXPECT_EQ(read("empty.txt.seg"), "");
    EXPECT_EQ(read("white.txt.seg"), "");
}

TEST_F(TalvenCli, BytesPassThroughUnchanged) {
    using namespace std::string_literals;
    const std::string text = "Nul\0inside. Caf\xE9 \x93quoted.\x94 \xC3\xA9t\xC3\xA9\xFF ok."s;
    write("bytes.txt", text);
    ASSERT_EQ(run("bytes.txt"), 0) << err;
    EXPECT_EQ(read("bytes.txt.seg"),
              "Nul\0inside.\nCaf\xE9 \x93quoted.\x94 \xC3\xA9t\xC3\xA9\xFF ok.\n"s);
}

TEST_F(TalvenCli, NameStartingWithDashIsAFile) {
    write("-notes", "Dash name. Still a file.");
    ASSERT_EQ(run("-notes"), 0) << err;
    EXPECT_EQ(read("-notes.seg"), "Dash name.\nStill a file.\n");
}

TEST_F(TalvenCli, NewFileFollowsTheUmask) {
    write("in.txt", "Text.");
    ASSERT_EQ(run("in.txt", "umask 027 && "), 0) << err;
    struct stat st {};
    ASSERT_EQ(::stat((dir / "in.txt.seg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_EQ(run("in.txt", "umask 022 && "), 0) << err;
    ASSERT_EQ(::stat((dir / "in.txt.seg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(TalvenCli, LanguageFromTheEnvironment) {
    const std::string text = "Er kam am 3. Oktober an. Dann blieb er.\n";
    write("in.txt", text);
    struct Run {
        const char* prefix;
        const char* seg;
    };
    for (const Run& r :
         {Run{"BRENNIC_LANGUAGE=de ", "Er kam am 3. Oktober an.\nDann blieb er.\n"},
          Run{"BRENNIC_LANGUAGE= ", "Er kam am 3.\nOktober an.\nDann blieb er.\n"},
          Run{"BRENNIC_LANGUAGE=en ", "Er kam am 3.\nOktober an.\nDann blieb er.\n"},
          Run{"unset BRENNIC_LANGUAGE; ", "Er kam am 3.\nOktober an.\nDann blieb er.\n"}}) {
        SCOPED_TRACE(r.prefix);
        ASSERT_EQ(run("in.txt", r.prefix), 0) << err;
        EXPECT_EQ(read("in.txt.seg"), r.seg);
    }
    fs::remove(dir / "in.txt.seg");
    EXPECT_EQ(run("in.txt", "BRENNIC_LANGUAGE=klingon "), 2);
    EXPECT_NE(err.find("BRENNIC_LANGUAGE"), std::string::npos) << err;
    EXPECT_NE(err.find("\"klingon\""), std::string::npos) << err;
    EXPECT_EQ(listing(), std::set<std::string>{"in.txt"});
}

TEST_F(TalvenCli, NoArgumentIsAUsageError) {
    EXPECT_EQ(run(""), 2);
    EXPECT_NE(err.find("usage"), std::string::npos) << err;
    EXPECT_EQ(run("a.txt b.txt"), 2);
    EXPECT_TRUE(listing().empty());
}

TEST_F(TalvenCli, MissingFileFails) {
    EXPECT_EQ(run("absent.txt"), 1);
    expect_failure_message();
    EXPECT_NE(err.find("absent.txt"), std::string::npos) << err;
    EXPECT_TRUE(listing().empty());
}

TEST_F(TalvenCli, DirectoryFails) {
    fs::create_directory(dir / "folder");
    write("folder.seg", "kept\n");
    EXPECT_EQ(run("folder"), 1);
    expect_failure_message();
    EXPECT_EQ(read("folder.seg"), "kept\n");
    EXPECT_EQ(listing(), (std::set<std::string>{"folder", "folder.seg"}));
}

TEST_F(TalvenCli, SegThatCannotBeReplacedIsLeftAlone) {
    write("in.txt", "Some text.");
    fs::create_directory(dir / "in.txt.seg");
    write("in.txt.seg/inside", "untouched");
    EXPECT_EQ(run("in.txt"), 1);
    expect_failure_message();
    EXPECT_EQ(read("in.txt.seg/inside"), "untouched");
    EXPECT_EQ(listing(), (std::set<std::string>{"in.txt", "in.txt.seg"}));
}

TEST_F(TalvenCli, UnwritableSegOrDirectoryFails) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    write("in.txt", "Some text.");
    write("in.txt.seg", "old\n");
    fs::permissions(dir / "in.txt.seg", fs::perms::owner_read);
    EXPECT_EQ(run("in.txt"), 1);
    expect_failure_message();
    EXPECT_EQ(read("in.txt.seg"), "old\n");

    fs::permissions(dir / "in.txt.seg", fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(run("in.txt"), 1);
    expect_failure_message();
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(read("in.txt.seg"), "old\n");
    EXPECT_EQ(listing(), (std::set<std::string>{"in.txt", "in.txt.seg"}));
}

TEST_F(TalvenCli, UnreadableFileFails) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    write("secret.txt", "Hidden.");
    fs::permissions(dir / "secret.txt", fs::perms::none);
    EXPECT_EQ(run("secret.txt"), 1);
    expect_failure_message();
    EXPECT_EQ(listing(), (std::set<std::string>{"secret.txt"}));
}

}  // namespace
