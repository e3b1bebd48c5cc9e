// one_line: a message made safe to print as one line, whatever bytes the names in it came from.
#pragma once

#include <string>

// Names in messages come from the files (a glTF URI may hold "\n" or, percent-decoded, a NUL; an
// OBJ name a '\r'), and a message must stay one line that printf shows whole: every control
// character becomes \xNN.
inline std::string one_line(const std::string& text) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string line;
    line.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            line += "\\x";
            line += digits[byte >> 4];
            line += digits[byte & 15];
        } else {
            line += c;
        }
    }
    return line;
}
