// SPDX-License-Identifier: MIT
#pragma once
// The simulator's end of a pseudo-terminal pair. The tool opens the other end by its path (or by
// a symbolic link to it) as it would open a serial port.
#include <string>

#include "base/ScopedFd.h"

class PseudoTerminal {
public:
    // Opens a new pair in raw mode; with a link path, also makes that symbolic link to the
    // tool's end, replacing an older link but never another kind of file. Throws SimError.
    explicit PseudoTerminal(const std::string& linkPath = {});
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Non-blocking descriptor of the simulator's end; -1 once hung up.
    int Master() const { return master_.Get(); }
    // Path of the tool's end.
    const std::string& TerminalPath() const { return terminalPath_; }
    // The path to give the tool: the link when there is one.
    const std::string& LinePath() const { return linkPath_.empty() ? terminalPath_ : linkPath_; }

    // Discards the bytes written to the tool that it has not read yet, as a line with nobody
    // listening loses them.
    void DiscardUnread();
    // Bytes written to the tool that it has not read yet.
    int Unread() const;
    // Lets go of the simulator's own hold on the tool's end, so that the simulator's end reports
    // a hang-up once the tool has closed it too.
    void ReleaseTerminal();
    // Closes both ends and removes the link: the device is unplugged.
    void HangUp();

private:
    void RemoveLink();

    ScopedFd master_;
    // Held open by the simulator so the pair stays usable while no tool has it open.
    ScopedFd terminal_;
    std::string terminalPath_;
    std::string linkPath_;
    bool linked_ = false;
};
