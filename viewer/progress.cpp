// The progress line: shown after a second, on a terminal only.
#include "viewer/progress.h"

#include <cstdio>

#include "runtime/terminal.h"
#include "runtime/timer.h"

progress_line_t::progress_line_t(uint64_t total_frames)
    : total_(total_frames), terminal_(rt::stderr_is_terminal()), started_(rt::timer()) {}

void progress_line_t::frame_done(uint64_t frames) {
    if (!terminal_ || total_ == 0) return;
    const long double now = rt::timer();
    if (now - started_ < 1.0L || (shown_ && now - last_shown_ < 0.25L)) return;
    last_shown_ = now;
    shown_ = true;
    std::fprintf(stderr, "\rsoftcube: frame %llu of %llu (%.0f %%)\033[K", static_cast<unsigned long long>(frames),
                 static_cast<unsigned long long>(total_),
                 100.0 * static_cast<double>(frames) / static_cast<double>(total_));
    std::fflush(stderr);
}

void progress_line_t::finish() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}
