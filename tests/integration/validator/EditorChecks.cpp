// The editor opened, idled and closed repeatedly in a host window while another thread plays
// audio and automates parameters; closed twice; the plug-in closed with its editor open.
#include <atomic>
#include <chrono>
#include <thread>

#include "HostWindow.h"
#include "Signals.h"
#include "Validator.h"

namespace validator {
namespace {

void idleFor(Plugin& p, HostWindow& window, int rounds) {
    for (int i = 0; i < rounds; ++i) {
        window.pump();
        p.call(effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

CHECK_GROUP("editor", "editor open/idle/close while audio runs; closing in every order") {
    std::string why;
    if (!HostWindow::available(&why)) {
        skip(why);
        return;
    }
    Plugin p;
    if (!check(p.ok() && (p.effect->flags & effFlagsHasEditor), "instance with an editor")) {
        return;
    }
    ERect* rect = nullptr;
    const bool sized = p.call(effEditGetRect, 0, 0, &rect) == 1 && rect;
    const int width = sized ? rect->right - rect->left : 0;
    const int height = sized ? rect->bottom - rect->top : 0;
    check(width == 240 && height == 320, format("editor rectangle %d x %d", width, height));
    HostWindow window(240, 320);
    if (!check(window.ok(), "host window")) {
        return;
    }

    // Audio and automation on a thread of their own, as a host's audio thread runs them.
    p.setUp(44100.0f, 256);
    std::atomic<bool> playing{true};
    std::atomic<bool> finite{true};
    std::thread audio([&] {
        const std::vector<float> input = glide(44100, 44100);
        std::vector<float> left(256), right(256);
        for (uint32_t step = 0; playing.load(); ++step) {
            const size_t at = (step * 256) % (input.size() - 256);
            p.set(int32_t(step % kParameterCount), float(step % 11) / 10.0f);
            p.process(input.data() + at, left.data(), right.data(), 256);
            finite = finite && examine(left.data(), left.size()).finite;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    int opened = 0;
    const int rounds = 12;
    for (int round = 0; round < rounds; ++round) {
        opened += p.call(effEditOpen, 0, 0, window.parent()) == 1 ? 1 : 0;
        idleFor(p, window, 10);
        p.call(effEditClose);
        if (round % 4 == 0) {
            p.call(effEditClose);  // closed twice
            p.call(effEditIdle);   // idled while closed
        }
        window.pump();
    }
    playing.store(false);
    audio.join();
    check(opened == rounds,
          format("editor opened %d of %d times while audio and automation ran", opened, rounds));
    check(finite.load(), "audio stayed finite while the editor opened and closed");

    // The plug-in closed with its editor open, then the host's window goes on.
    Plugin other;
    const bool open = other.ok() && other.call(effEditOpen, 0, 0, window.parent()) == 1;
    idleFor(other, window, 5);
    other.close();
    window.pump();
    Plugin third;
    const bool reopened = third.ok() && third.call(effEditOpen, 0, 0, window.parent()) == 1;
    idleFor(third, window, 3);
    third.call(effEditClose);
    check(open && reopened, "plug-in closed with its editor open; a new editor opens after it");
}

}  // namespace validator
