// SPDX-License-Identifier: MIT
// A process runner with a deadline, for tests that feed the executables
// hostile input: a run that takes longer is killed and reported as hung.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace hostile_support {

using TimedResult = test_support::ProcessResult;

// test_support::run_process with the deadline spelled out at every call.
inline TimedResult run_process(const std::vector<std::string>& argv, const std::string& cwd,
                               const std::vector<std::string>& env,
                               std::chrono::milliseconds timeout) {
    return test_support::run_process(argv, cwd, env, timeout);
}

// A throw-away second user for the lifetime of the object, made when the
// tests run as root (useradd) and removed again; ok() is false otherwise,
// and a test that needs one skips.
class OtherUser {
public:
    OtherUser() {
        if (::geteuid() != 0) return;
        const std::string name = "brtest" + std::to_string(::getpid());
        if (std::system(("useradd -M -N -s /bin/sh " + name + " 2>/dev/null").c_str()) != 0) return;
        name_ = name;
        if (const struct passwd* pw = ::getpwnam(name.c_str())) {
            uid_ = pw->pw_uid;
            gid_ = pw->pw_gid;
        }
    }
    ~OtherUser() {
        if (!name_.empty()) std::system(("userdel " + name_ + " 2>/dev/null").c_str());
    }
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;

    bool ok() const { return !name_.empty() && uid_ != 0; }
    uid_t uid() const { return uid_; }
    gid_t gid() const { return gid_; }
    // The words that run a command as the user.
    std::string as() const {
        return "setpriv --reuid=" + std::to_string(uid_) + " --regid=" + std::to_string(gid_) +
               " --clear-groups --";
    }

    // Whether the user may run program: every folder on its way must let
    // the user in, which a build tree under root's own home folder does not.
    bool can_run(const std::string& program) const {
        return ok() && std::system((as() + " test -x '" + program + "'").c_str()) == 0;
    }

private:
    std::string name_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

// A program as the second user can run it: the program itself, or a copy
// in a fresh folder open to every user (removed again) when the build tree
// is closed to others. path() is empty when the user can run neither.
class ProgramFor {
public:
    ProgramFor(const OtherUser& user, const std::string& program) {
        if (user.can_run(program)) {
            path_ = program;
            return;
        }
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "brennic-exe-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return;
        folder_ = pattern;
        const fs::path copy = folder_ / fs::path(program).filename();
        std::error_code ec;
        fs::permissions(folder_, fs::perms(0755), ec);
        if (!ec) fs::copy_file(program, copy, ec);
        if (!ec) fs::permissions(copy, fs::perms(0755), ec);
        if (!ec && user.can_run(copy.string())) path_ = copy.string();
    }
    ~ProgramFor() {
        std::error_code ec;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
    }
    ProgramFor(const ProgramFor&) = delete;
    ProgramFor& operator=(const ProgramFor&) = delete;

    const std::string& path() const { return path_; }

private:
    std::filesystem::path folder_;
    std::string path_;
};

}  // namespace hostile_support
