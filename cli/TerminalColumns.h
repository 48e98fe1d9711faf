// SPDX-License-Identifier: MIT
#pragma once
// The width of the terminal standard error is on, for a progress bar that must never wrap.

// Columns of the terminal on `fd` (its window size), else of the COLUMNS variable, else 80.
int TerminalColumns(int fd);
