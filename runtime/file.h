// Binary file reading by file number.
#pragma once

#include <cstdint>

namespace rt {

// The next free file number (1 and up), or 0 when every number is in use.
int free_file_number();
// Opens the named regular file for binary reading on the number; false when it cannot be
// opened, is not a regular file (a FIFO or device is refused without waiting on it), or the
// number is invalid or already in use.
bool file_open_binary(int file_number, const char* file_name);
// Reads 4 bytes at the 1-based byte position as a little-endian integer; false when the
// file is not open or ends before those 4 bytes.
bool file_read_u32(int file_number, int64_t position, uint32_t* value);
// Closes the file and frees its number; an unused number is ignored.
void file_close(int file_number);

}  // namespace rt
