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

private:
    std::string name_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

}  // namespace hostile_support
