// How many threads the renderer uses: the --threads option, else SOFTCUBE_THREADS, else every online core.
#pragma once

#include <cstdint>
#include <string>

// The accepted range of a thread count, from the option or the environment.
constexpr uint32_t max_render_threads = 256;

// A count as written: plain decimal digits, 1 to max_render_threads; 0 when it is not one.
uint32_t parse_thread_count(const char* text);

struct thread_choice_t {
    bool ok = false;
    uint32_t threads = 0;
    std::string error;  // one line, when not ok
};

// from_command_line 0: not given. environment: the value of SOFTCUBE_THREADS, null when unset
// (an empty value counts as unset). The option wins over the environment, which wins over
// the cores; a bad environment value is an error rather than a silent fallback, as a bad
// option is.
thread_choice_t choose_thread_count(uint32_t from_command_line, const char* environment, uint32_t online_cores);
