#pragma once

// Timestamps of the start-up steps for the start-up benchmark's profile. Off unless the
// environment variable BRISQUELTON_STARTUP_TRACE is set when the program starts; then
// each mark goes to the debugger output, where Wine's +debugstr channel prints it with
// its +timestamp.
class StartupTrace {
public:
    static void mark(const char* step);
};
