// The progress line of a long offscreen run, rewritten in place on a terminal.
#pragma once

#include <cstdint>

// Shows "softcube: frame N of TOTAL (P %)" on stderr once a run has taken a second, then at
// most four times a second, rewriting the line in place; nothing at all when stderr is not a
// terminal, so logs and pipes stay clean.
class progress_line_t {
public:
    explicit progress_line_t(uint64_t total_frames);
    // After each frame, with the frames drawn so far.
    void frame_done(uint64_t frames);
    // Clears the line if one was shown.
    void finish();

private:
    uint64_t total_;
    bool terminal_;
    bool shown_ = false;
    long double started_;
    long double last_shown_ = 0.0L;
};
