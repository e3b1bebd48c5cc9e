// Claiming a file name: creating a new, empty file that did not exist, so that nothing already there is overwritten.
#pragma once

#include <string>

namespace rt {

enum class claim_result { claimed, taken, failed };

// Creates the file empty, exclusively and without following a symbolic link at its name:
// claimed when it did not exist before, taken when something (a file, a folder, a link) is
// already there, failed when the folder cannot be written.
claim_result claim_new_file(const std::string& path);

}  // namespace rt
