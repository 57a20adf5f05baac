// SPDX-License-Identifier: MIT
// scripts/summarize-corpus on a folder of 24 texts: the extracts brennic-batch
// writes for it, here and spread over two hosts (a throw-away sshd on the
// loopback and this one) by GNU parallel, are the ones Brennic.exe writes
// when run on each text by hand with the bundled segmenter.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <filesystem>
#include <map>
#include <thread>

#include "test_support.h"

namespace {

using test_support::ProcessResult;
using test_support::TempDir;
namespace fs = std::filesystem;

const std::string kScript =
    (fs::path(TEST_DATA_DIR).parent_path().parent_path() / "scripts" / "summarize-corpus").string();
// Brennic.exe finds the bundled segmenter beside itself, first on PATH.
const std::string kPath =
    "PATH=" + fs::path(BRENNIC_EXE).parent_path().string() + ":/usr/local/bin:/usr/bin:/bin";

bool gnu_parallel_installed() {
    TempDir dir;
    const ProcessResult r = test_support::run_process({"/bin/sh", "-c", "parallel --version"},
                                                      dir.path().string(), {kPath});
    return r.status == 0 && r.out.find("GNU parallel") != std::string::npos;
}

#define SKIP_WITHOUT_PARALLEL()                                                             \
    if (!gnu_parallel_installed()) {                                                        \
        GTEST_SKIP() << "GNU parallel is not installed (Debian: apt-get install parallel)"; \
    }

// Twenty-four texts, one sentence a line, made from a small vocabulary so that
// words repeat within and across texts. Some names need quoting in a shell.
std::map<std::string, std::string> corpus() {
    static const char* const words[] = {
        "river", "boats", "the",     "harbour", "of",      "storm",  "a",      "fishing",
        "nets",  "and",   "winter",  "market",  "town",    "ferry",  "engine", "crossing",
        "in",    "tide",  "sailors", "is",      "weather", "bridge", "lights", "cargo"};
    const std::size_t n_words = sizeof words / sizeof words[0];
    std::map<std::string, std::string> texts;
    unsigned state = 12345;
    auto next = [&state](unsigned bound) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % bound;
    };
    for (int t = 0; t < 24; ++t) {
        std::string name = "text" + std::to_string(t) + ".txt";
        if (t == 7) name = "with space.txt";
        if (t == 13) name = "it's $HOME; (x).txt";
        if (t == 21) name = "-dash.txt";
        std::string text;
        const unsigned sentences = 3 + next(12);
        for (unsigned s = 0; s < sentences; ++s) {
            const unsigned length = 2 + next(14);
            for (unsigned w = 0; w < length; ++w) {
                std::string word = words[next(n_words)];
                if (w == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
                text += (w ? " " : "") + word;
            }
            text += ".\n";
        }
        texts[name] = text;
    }
    return texts;
}

std::string sum_name(const std::string& text) { return text.substr(0, text.rfind('.')) + ".sum"; }

struct Variant {
    std::vector<std::string> script_options;  // before the folder
    std::vector<std::string> before_text;     // Brennic.exe's switches
    std::vector<std::string> after_text;      // query and rate
};

TEST(SummarizeCorpus, SameExtractsAsOneByOne) {
    const Variant variants[] = {
        {{}, {}, {"0.7"}},
        {{"-r", "0.5", "-q", "river boats"}, {}, {"river boats", "0.5"}},
        {{"-i", "-r", "12", "-j", "3"}, {"-is"}, {"12"}},
        {{"-a", "-i", "-r", "-1"}, {"-is", "-ak"}, {"-1"}},
        {{"-a", "-q", "storm's tide; echo $HOME", "-j", "1"},
         {"-ak"},
         {"storm's tide; echo $HOME", "0.7"}},
    };
    const std::map<std::string, std::string> texts = corpus();
    ASSERT_EQ(texts.size(), 24u);
    for (const Variant& v : variants) {
        SCOPED_TRACE(::testing::PrintToString(v.script_options));
        TempDir work;
        fs::create_directory(work.path() / "corpus");
        fs::create_directory(work.path() / "single");
        for (const auto& [name, text] : texts) {
            work.write("corpus/" + name, text);
            work.write("single/" + name, text);
        }
        // One by one.
        const std::string single = work.file("single");
        for (const auto& [name, text] : texts) {
            std::vector<std::string> argv = {BRENNIC_EXE};
            argv.insert(argv.end(), v.before_text.begin(), v.before_text.end());
            argv.push_back(name);
            argv.insert(argv.end(), v.after_text.begin(), v.after_text.end());
            ASSERT_EQ(test_support::run_process(argv, single, {kPath}).status, 0) << name;
        }
        // All at once.
        std::vector<std::string> argv = {"/bin/bash", kScript, "-B", BATCH_EXE, "-L", "logs/run"};
        argv.insert(argv.end(), v.script_options.begin(), v.script_options.end());
        argv.push_back("corpus");
        fs::create_directory(work.path() / "logs");
        const ProcessResult r = test_support::run_process(argv, work.path().string(), {kPath});
        ASSERT_EQ(r.status, 0) << r.out << r.err;
        EXPECT_EQ(work.read("logs/run.failed"), "");

        std::set<std::string> expected_entries;
        for (const auto& [name, text] : texts) {
            expected_entries.insert(name);
            expected_entries.insert(sum_name(name));
            EXPECT_EQ(work.read("corpus/" + sum_name(name)), work.read("single/" + sum_name(name)))
                << name;
        }
        std::set<std::string> entries;
        for (const auto& e : fs::directory_iterator(work.path() / "corpus"))
            entries.insert(e.path().filename());
        EXPECT_EQ(entries, expected_entries);  // no .seg file left, nothing else written
    }
}

TEST(SummarizeCorpus, ListsTheTextsThatFailed) {
    TempDir work;
    fs::create_directory(work.path() / "corpus");
    const std::set<std::string> names = {"a.txt", "bad one.txt", "c.txt",
                                         "d.txt", "bad2.txt",    "notes.md"};
    for (const std::string& name : names)
        work.write("corpus/" + name, "Ships sail.\nShips sink.\n");
    // Their extracts cannot be written.
    fs::create_directory(work.path() / "corpus" / "bad one.sum");
    fs::create_directory(work.path() / "corpus" / "bad2.sum");

    const ProcessResult r = test_support::run_process(
        {"/bin/bash", kScript, "-B", BATCH_EXE, "corpus"}, work.path().string(), {kPath});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("brennic: 'bad one.txt': can not write 'bad one.sum': Is a directory"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("2 of 5 texts failed"), std::string::npos) << r.err;
    EXPECT_EQ(work.read("summarize-corpus.failed"), "corpus/bad one.txt\ncorpus/bad2.txt\n");
    for (const char* done : {"a.sum", "c.sum", "d.sum"})
        EXPECT_TRUE(work.exists(std::string("corpus/") + done));
    EXPECT_FALSE(work.exists("corpus/notes.sum"));
}

// Texts whose extracts would share a name, or whose extract would be a text,
// are not summarized: they are listed as failed, with the reason, and
// nothing is overwritten.
TEST(SummarizeCorpus, TextsWhoseExtractsShareANameFail) {
    SKIP_WITHOUT_PARALLEL();
    TempDir work;
    fs::create_directory(work.path() / "corpus");
    for (const char* name : {"a.txt", "report.txt", "report.md"}) {
        work.write(std::string("corpus/") + name, "Ships sail.\nShips sink.\n");
    }
    work.write("corpus/report.sum", "earlier extract\n");
    const ProcessResult r =
        test_support::run_process({"/bin/bash", kScript, "-B", BATCH_EXE, "-p", "*", "corpus"},
                                  work.path().string(), {kPath});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(work.read("summarize-corpus.failed"),
              "corpus/report.md\ncorpus/report.sum\ncorpus/report.txt\n");
    EXPECT_NE(r.err.find("report.md: report.sum would overwrite the text report.sum"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(work.read("corpus/report.sum"), "earlier extract\n");
    EXPECT_TRUE(work.exists("corpus/a.sum"));
}

// -R reads the subfolders, the options are brennic's own, and the brennic
// installed beside the script is found without PATH.
TEST(SummarizeCorpus, SubfoldersWithTheCommandsOptions) {
    TempDir work;
    fs::create_directories(work.path() / "bin");
    fs::copy_file(kScript, work.path() / "bin" / "summarize-corpus");
    fs::create_symlink(BATCH_EXE, work.path() / "bin" / "brennic");
    const std::vector<std::string> texts = {"top.txt", "a/article.txt", "b/c/article.txt"};
    const std::map<std::string, std::string> made = corpus();
    auto text = made.begin();
    for (const std::string& name : texts) {
        fs::create_directories((work.path() / "corpus" / name).parent_path());
        work.write("corpus/" + name, (text++)->second);
    }
    const std::vector<std::string> options = {"--keep", "40%", "--sentences=2", "-l", "en"};
    for (const bool recursive : {false, true}) {
        std::vector<std::string> argv = {"/bin/bash", work.file("bin/summarize-corpus")};
        if (recursive) argv.push_back("-R");
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back("corpus");
        const ProcessResult r =
            test_support::run_process(argv, work.path().string(), {"PATH=/usr/bin:/bin"});
        ASSERT_EQ(r.status, 0) << r.err;
        for (const std::string& name : texts) {
            const std::string sum = "corpus/" + sum_name(name);
            EXPECT_EQ(work.exists(sum), recursive || name == "top.txt") << sum;
            if (!work.exists(sum)) continue;
            std::vector<std::string> one = {BATCH_EXE};
            one.insert(one.end(), options.begin(), options.end());
            one.push_back(name);
            EXPECT_EQ(work.read(sum),
                      test_support::run_process(one, work.file("corpus"), {kPath}).out);
        }
    }
}

TEST(SummarizeCorpus, BadCommandLines) {
    TempDir work;
    fs::create_directory(work.path() / "corpus");
    const std::vector<std::string> cases[] = {{},          {"-x", "corpus"}, {"corpus", "extra"},
                                              {"missing"}, {"-r"},           {"--bogus", "corpus"},
                                              {"--keep"}};
    for (const std::vector<std::string>& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        std::vector<std::string> argv = {"/bin/bash", kScript, "-B", BATCH_EXE};
        argv.insert(argv.end(), args.begin(), args.end());
        const ProcessResult r = test_support::run_process(argv, work.path().string(), {kPath});
        EXPECT_EQ(r.status, 2);
        EXPECT_FALSE(r.err.empty());
    }
}

// A throw-away sshd on 127.0.0.1 and a free port, run as the current user
// with its own host key, user key and configuration in a temporary folder,
// and an ssh configuration naming it "brennic-test". Logins land in
// folder/home, which is also their HOME (so no start-up file of the real
// home runs). The daemon and everything it started are killed at the end.
class LoopbackSshd {
public:
    explicit LoopbackSshd(const TempDir& dir) : dir_(dir) {
        const std::string sshd = "/usr/sbin/sshd";
        if (!fs::exists(sshd)) {
            why_ = "openssh-server is not installed (Debian: apt-get install openssh-server)";
            return;
        }
        fs::create_directory(dir.path() / "home");
        for (const char* key : {"host_key", "user_key"}) {
            const ProcessResult r = test_support::run_process(
                {"/usr/bin/ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", dir.file(key)},
                dir.path().string());
            if (r.status != 0) {
                why_ = "ssh-keygen failed: " + r.err;
                return;
            }
        }
        const int port = free_port();
        const std::string d = dir.path().string();
        dir.write("sshd_config",
                  "ListenAddress 127.0.0.1\nPort " + std::to_string(port) + "\nHostKey " + d +
                      "/host_key\nPidFile " + d + "/sshd.pid\nAuthorizedKeysFile " + d +
                      "/user_key.pub\nStrictModes no\nUsePAM no\n"
                      "PasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                      "PermitRootLogin prohibit-password\nUseDNS no\n"
                      "SetEnv HOME=" +
                      d +
                      "/home\n"
                      "ForceCommand cd \"$HOME\" && eval \"$SSH_ORIGINAL_COMMAND\"\n");
        dir.write("ssh_config", "Host brennic-test\n  HostName 127.0.0.1\n  Port " +
                                    std::to_string(port) + "\n  IdentityFile " + d +
                                    "/user_key\n  IdentitiesOnly yes\n  BatchMode yes\n"
                                    "  StrictHostKeyChecking no\n  UserKnownHostsFile /dev/null\n"
                                    "  LogLevel ERROR\n");
        // sshd run by root wants its privilege separation folder.
        if (::geteuid() == 0 && !fs::exists("/run/sshd")) {
            std::error_code ec;
            made_run_sshd_ = fs::create_directories("/run/sshd", ec);
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setpgid(0, 0);
            const std::string log = dir.file("sshd.log");
            std::freopen(log.c_str(), "w", stderr);
            ::execl(sshd.c_str(), sshd.c_str(), "-D", "-e", "-f", dir.file("sshd_config").c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::setpgid(pid_, pid_);
        // Ready when a login works; give up when the daemon ends or after 20 s.
        for (int attempt = 0; attempt < 40; ++attempt) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                why_ = "sshd could not start: " + dir.read("sshd.log");
                return;
            }
            const ProcessResult r = test_support::run_process(
                {"/usr/bin/ssh", "-F", dir.file("ssh_config"), "brennic-test", "true"}, d, {},
                std::chrono::seconds(20));
            if (r.status == 0) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
        why_ = "no login into the test sshd: " + dir.read("sshd.log");
    }
    ~LoopbackSshd() {
        if (pid_ > 0) {
            ::kill(-pid_, SIGTERM);
            int status = 0;
            for (int i = 0; i < 50 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            ::kill(-pid_, SIGKILL);
            ::waitpid(pid_, &status, WNOHANG);
        }
        if (made_run_sshd_) {
            std::error_code ec;
            fs::remove("/run/sshd", ec);
        }
    }
    LoopbackSshd(const LoopbackSshd&) = delete;
    LoopbackSshd& operator=(const LoopbackSshd&) = delete;

    // Empty when the daemon runs, else why not.
    const std::string& why_not() const { return why_; }
    std::string ssh_command() const { return "ssh -F " + dir_.file("ssh_config"); }

private:
    static int free_port() {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        ::close(fd);
        return ntohs(addr.sin_port);
    }

    const TempDir& dir_;
    pid_t pid_ = -1;
    bool made_run_sshd_ = false;
    std::string why_;
};

// -S -R: parallel hands chunks of three texts to the test sshd and to this host,
// copies them over, and brings the extracts back. Two texts whose extracts
// would have the same name fail before the texts are spread.
TEST(SummarizeCorpus, SpreadOverTwoHosts) {
    SKIP_WITHOUT_PARALLEL();
    TempDir ssh_dir;
    LoopbackSshd sshd(ssh_dir);
    if (!sshd.why_not().empty()) GTEST_SKIP() << "no test sshd: " << sshd.why_not();

    TempDir work;
    fs::create_directory(work.path() / "corpus");
    fs::create_directory(work.path() / "single");
    std::map<std::string, std::string> texts;
    for (const auto& [name, text] : corpus()) {
        if (texts.size() < 9 || name.find_first_of(" -'") != std::string::npos) texts[name] = text;
    }
    // -R: a text in a subfolder travels and comes back to its folder.
    texts["sub/deeper.txt"] = texts.begin()->second;
    fs::create_directories(work.path() / "corpus" / "sub");
    fs::create_directories(work.path() / "single" / "sub");
    for (const auto& [name, text] : texts) {
        work.write("corpus/" + name, text);
        work.write("single/" + name, text);
        ASSERT_EQ(test_support::run_process({BRENNIC_EXE, name, "storm", "0.6"},
                                            work.file("single"), {kPath})
                      .status,
                  0);
    }
    work.write("corpus/clash.txt", "Storms pass.\n");
    work.write("corpus/clash.txt2", "Storms return.\n");
    const ProcessResult r = test_support::run_process(
        {"/bin/bash", kScript, "-B", BATCH_EXE, "-R", "-S", "brennic-test,:", "-c", "3", "-q",
         "storm", "-r", "0.6", "-p", "*.txt*", "-L", "run", "corpus"},
        work.path().string(),
        {kPath, "PARALLEL_SSH=" + sshd.ssh_command(), "HOME=" + ssh_dir.file("home")});
    ASSERT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(work.read("run.failed"), "corpus/clash.txt\ncorpus/clash.txt2\n") << r.err;
    EXPECT_FALSE(work.exists("corpus/clash.sum"));
    for (const auto& [name, text] : texts) {
        EXPECT_EQ(work.read("corpus/" + sum_name(name)), work.read("single/" + sum_name(name)))
            << name;
    }
    // Five chunks, on both hosts; nothing left in the remote working folder.
    const std::string joblog = work.read("run.joblog");
    EXPECT_EQ(std::count(joblog.begin(), joblog.end(), '\n'), 6) << joblog;
    EXPECT_NE(joblog.find("\tbrennic-test\t"), std::string::npos) << joblog;
    EXPECT_NE(joblog.find("\t:\t"), std::string::npos) << joblog;
    std::size_t left = 0;
    for (const auto& e :
         fs::recursive_directory_iterator(ssh_dir.path() / "home" / ".parallel" / "tmp")) {
        left += e.is_regular_file() && e.path().string().find("/sshlogin/") == std::string::npos;
    }
    EXPECT_EQ(left, 0u);
}

}  // namespace
