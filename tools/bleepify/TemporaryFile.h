#pragma once

#include <string>

namespace tanuvo::bleepify {

// A new, uniquely named file beside `target` that takes the target's name only on commit().
// Until then the target is untouched; the temporary file is removed when the object is
// destroyed uncommitted, or when the user interrupts the program (SIGINT, SIGTERM, SIGHUP).
class TemporaryFile {
  public:
    // Throws ToolError when the file cannot be created.
    explicit TemporaryFile(const std::string& target);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // The open descriptor. release() hands its ownership to the caller, who must close it
    // before commit().
    int descriptor() const { return descriptor_; }
    int release();

    // Closes the descriptor if still owned, then renames; throws ToolError on failure.
    void commit();

  private:
    void discard();

    std::string target_;
    std::string path_;
    int descriptor_ = -1;
    bool ownsDescriptor_ = true;
};

}  // namespace tanuvo::bleepify
