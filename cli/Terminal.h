// SPDX-License-Identifier: MIT
#pragma once
// The terminal standard error is on: whether the progress can be redrawn in place there, and how
// wide it is, so that a progress line never wraps.
#include <chrono>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// How often a line redrawn in place changes at most: often enough to look alive, seldom enough
// to cost the transfer nothing.
inline constexpr auto kTerminalRedrawInterval = std::chrono::milliseconds(100);

// Whether standard error is a terminal that takes the redrawing escapes. On Windows: a console
// that a ConsoleSetup has made ready for them.
bool StandardErrorIsTerminal();

// Columns of the terminal on standard error, else of the COLUMNS variable, else 80.
int TerminalColumns();

// The columns lines written to `err` must fit: the terminal's when `err` is standard error on a
// terminal, 0 when it is not (redirected, or another stream), where lines stay whole.
int ErrorColumns(const std::ostream& err);

// The width the system reports for standard error's terminal; 0 when it reports none.
int SystemTerminalColumns();

// The program's arguments as UTF-8. On Windows they come from the system's wide command line:
// the narrow argv holds only what the ANSI code page can spell, so a file name in another script
// would arrive as question marks. Elsewhere argv as it is.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// The length of the longest start of UTF-8 `text` that ends with a whole character: what a
// console writer may convert now, the rest waiting for its next bytes.
size_t WholeUtf8Length(std::string_view text);

// While it stands, the program's console (Windows) takes the escapes that redraw a line, and
// std::cout and std::cerr reach it as UTF-16 when they are the console (UTF-8 bytes when
// redirected); it is given back as it was. Nothing to do elsewhere.
class ConsoleSetup {
public:
    ConsoleSetup();
    ~ConsoleSetup();
    ConsoleSetup(const ConsoleSetup&) = delete;
    ConsoleSetup& operator=(const ConsoleSetup&) = delete;

private:
    struct Saved;  // the console's settings before
    const std::unique_ptr<Saved> saved_;
};
