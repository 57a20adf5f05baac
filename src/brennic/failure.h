// SPDX-License-Identifier: MIT
// The one way a run fails: an exception carrying the message that main
// prints as "\tERROR: <message>\n" before it exits with status 1.
#pragma once

#include <stdexcept>
#include <string>

namespace brennic {

class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace brennic
