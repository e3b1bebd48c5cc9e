// Choosing the renderer's thread count.
#include "app/thread_count.h"

#include <algorithm>

uint32_t parse_thread_count(const char* text) {
    if (text == nullptr || *text == '\0') return 0;
    uint32_t value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return 0;
        value = value * 10 + static_cast<uint32_t>(*c - '0');
        if (value > max_render_threads) return 0;
    }
    return value;
}

thread_choice_t choose_thread_count(uint32_t from_command_line, const char* environment, uint32_t online_cores) {
    thread_choice_t choice;
    if (from_command_line != 0) {
        choice.threads = from_command_line;
    } else if (environment != nullptr && *environment != '\0') {
        choice.threads = parse_thread_count(environment);
        if (choice.threads == 0) {
            choice.error = "SOFTCUBE_THREADS needs a whole number from 1 to " + std::to_string(max_render_threads) +
                           ", not '" + std::string(environment) + "'";
            return choice;
        }
    } else {
        choice.threads = std::clamp<uint32_t>(online_cores, 1, max_render_threads);
    }
    choice.ok = true;
    return choice;
}
