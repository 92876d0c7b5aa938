#pragma once

#include <stdexcept>
#include <string>

namespace tanuvo::bleepify {

// A failure the user can act on; its message is the one line bleepify prints before exiting.
class ToolError : public std::runtime_error {
  public:
    explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

// The command line itself is wrong (unknown option, bad value): exits with a distinct status.
class UsageError : public ToolError {
  public:
    explicit UsageError(const std::string& message) : ToolError(message) {}
};

}  // namespace tanuvo::bleepify
