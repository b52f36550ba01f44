#pragma once

// The client from start to end: single instance, the windows in their order, the message loop.
// Returns the process exit code, 0 on every path.
int RunClient(int argc, char *argv[]);

// Creates the eight windows in their fixed order (the login window first, as the main form).
void CreateClientWindows();
