// SPDX-License-Identifier: MIT
#pragma once
// How the simulated on-board computer behaves on its line, faults for tests included.
#include <functional>
#include <string>

struct SimOptions {
    // Symbolic link made to the tool's end of the line; empty: none.
    std::string linkPath;
    // File that receives the 64 KiB memory image when the end command came; empty: none.
    std::string imagePath;

    // Every byte takes 10 bits at 10400 bit/s on a half-duplex line, echo and answers alike.
    bool pace = false;

    // Block commands are counted from 1, in the order they arrive; 0 switches a fault off.
    int badChecksumBlock = 0;  // answered wrongly once, then correctly 200 ms later
    int dropEchoBlock = 0;     // one byte of its echo (the 101st) is lost
    // After the device has answered block N (N = 0: right after its second greeting 0xAA) it
    // falls silent for good, or closes the line as if unplugged. -1: never.
    int silentAfter = -1;
    int hangupAfter = -1;

    // An adapter without the half-duplex loop: nothing the tool sends comes back, though the
    // device still greets and answers.
    bool noEcho = false;

    bool split = false;  // echo written in pieces of 1 to 7 bytes, a little apart
    bool merge = false;  // an answer written together with the tail of the echo before it

    // The greeting 0x55 is repeated this often until the tool answers it.
    int greetIntervalMs = 50;
    // In the middle of a transfer, this long without a byte from the tool (a tool closed or
    // restarted) sends the device back to greeting, once the tool has read everything sent to
    // it; 0: never.
    int regreetAfterMs = 2000;
    // Once the end command came, how long to wait for the tool to close the line.
    int lingerMs = 5000;
    // Station mode: after the end command the next board comes, this long later, with its
    // memory erased and the faults above armed again; the run goes on until stopped. With an
    // image path, board N's image goes to that path with ".N" added.
    bool repeat = false;
    int nextBoardAfterMs = 500;

    unsigned seed = 1;  // of the piece sizes of `split`

    // Notes on the course of the transfer (greeting answered, end command, faults applied) and,
    // when set, on every frame; called on the simulator's thread.
    std::function<void(const std::string&)> note;
    std::function<void(const std::string&)> trace;
};
