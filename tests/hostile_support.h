// SPDX-License-Identifier: MIT
// A process runner with a deadline, for tests that feed the executables
// hostile input: a run that takes longer is killed and reported as hung.
#pragma once

#include <fcntl.h>
#include <poll.h>
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

}  // namespace hostile_support
