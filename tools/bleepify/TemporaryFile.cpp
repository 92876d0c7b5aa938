#include "tools/bleepify/TemporaryFile.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/bleepify/ToolError.h"

namespace tanuvo::bleepify {

namespace {

// The file an interruption must remove. One temporary file exists at a time, and a signal
// handler may only read plain memory and call unlink.
char interruptedPath[4096];

void removeAndExit(int signalNumber) {
    if (interruptedPath[0] != '\0') {
        unlink(interruptedPath);
    }
    _exit(128 + signalNumber);
}

void watch(const std::string& path) {
    std::snprintf(interruptedPath, sizeof(interruptedPath), "%s", path.c_str());
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        signal(signalNumber, removeAndExit);
    }
}

void forget() {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        signal(signalNumber, SIG_DFL);
    }
    interruptedPath[0] = '\0';
}

}  // namespace

TemporaryFile::TemporaryFile(const std::string& target) : target_(target) {
    const size_t slash = target.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = directory + "." + name + ".XXXXXX";
    // An interruption between creating the file and watching it would leave the file behind:
    // hold the signals until both are done.
    sigset_t interruptions;
    sigset_t previous;
    sigemptyset(&interruptions);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&interruptions, signalNumber);
    }
    sigprocmask(SIG_BLOCK, &interruptions, &previous);
    descriptor_ = mkstemp(pattern.data());
    const int error = errno;
    if (descriptor_ >= 0) {
        path_ = pattern;
        watch(path_);
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (descriptor_ < 0) {
        throw ToolError("cannot write " + target + ": " + std::strerror(error));
    }
    // mkstemp makes a private file; give the result the permissions a new file normally has.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor_, 0666 & ~mask);
}

TemporaryFile::~TemporaryFile() {
    discard();
}

int TemporaryFile::release() {
    ownsDescriptor_ = false;
    return descriptor_;
}

void TemporaryFile::commit() {
    if (ownsDescriptor_ && close(descriptor_) != 0) {
        const std::string reason = std::strerror(errno);
        ownsDescriptor_ = false;
        throw ToolError("cannot write " + target_ + ": " + reason);
    }
    ownsDescriptor_ = false;
    if (std::rename(path_.c_str(), target_.c_str()) != 0) {
        throw ToolError("cannot write " + target_ + ": " + std::strerror(errno));
    }
    path_.clear();
    forget();
}

void TemporaryFile::discard() {
    if (ownsDescriptor_) {
        close(descriptor_);
    }
    if (!path_.empty()) {
        unlink(path_.c_str());
        forget();
    }
}

}  // namespace tanuvo::bleepify
