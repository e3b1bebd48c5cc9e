// Interrupt requests: SIGINT and SIGTERM noted for the frame loop instead of ending the process at once.
#pragma once

namespace rt {

// From here on the first SIGINT and the first SIGTERM only set a flag, so a run can end after
// its frame with its summary and picture; a second signal of the same kind ends the process
// at once, as without this. They are caught even when the program started with them ignored,
// as a script's background job starts with SIGINT: `kill -INT` then ends such a run cleanly
// too, where it would otherwise do nothing.
void catch_interrupts();

// The signal caught since catch_interrupts (SIGINT or SIGTERM), or 0.
int interrupt_signal();

// The exit status a shell gives a process ended by the signal: 128 + its number (130 for
// SIGINT, 143 for SIGTERM).
int interrupted_exit_status(int signal);

}  // namespace rt
