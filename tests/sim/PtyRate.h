#pragma once

// The line rate the port side has set on a pty, read from the master with the
// termios2 request. Kept in its own file: the kernel's termbits header clashes
// with <termios.h>. Returns -1 when the request fails.
int ptyLineRate(int masterFd);
