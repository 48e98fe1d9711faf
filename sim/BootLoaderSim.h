// SPDX-License-Identifier: MIT
#pragma once
// The simulated on-board computer on a pseudo-terminal: it echoes every byte it receives, greets,
// answers page and block commands as the boot loader does, keeps the memory image, and can
// inject the faults of SimOptions. It runs on the calling thread (Run) or on a thread of its own
// (Start); everything but Run may be called from any thread.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/ScopedFd.h"
#include "base/ThreadSafety.h"
#include "sim/BootLoaderDevice.h"
#include "sim/PseudoTerminal.h"
#include "sim/SimFaultPlan.h"
#include "sim/SimOptions.h"
#include "sim/SimWire.h"

enum class SimOutcome {
    Running,     // not ended yet
    EndCommand,  // the end command came (the image is saved)
    Stopped,     // stopped before the end command
    HungUp,      // the line was closed on purpose (hangupAfter)
};

class BootLoaderSim {
public:
    // Opens the line (and its link) at once, so the tool may open it before the run starts.
    // Throws SimError.
    explicit BootLoaderSim(SimOptions options);
    ~BootLoaderSim();
    BootLoaderSim(const BootLoaderSim&) = delete;
    BootLoaderSim& operator=(const BootLoaderSim&) = delete;

    // The path the tool opens: the link when there is one, else the pseudo-terminal.
    const std::string& LinePath() const { return line_.LinePath(); }
    const std::string& TerminalPath() const { return line_.TerminalPath(); }

    // Runs on the calling thread until the end command came and the tool let go of the line
    // (or `lingerMs` passed), until stopped, or until the line is hung up on purpose.
    SimOutcome Run();
    // Runs on a new thread.
    void Start();
    // Asks a run to end; safe in a signal handler.
    void RequestStop();
    // Asks a run to end and waits for the thread of Start.
    SimOutcome Stop();

    // Waits until the end command came; false when the time ran out first.
    bool WaitForEnd(std::chrono::milliseconds timeout);
    // Waits until the run ended; false when the time ran out first.
    bool WaitForOutcome(std::chrono::milliseconds timeout);
    SimOutcome Outcome() const;

    // Copies of what the device holds and has seen, safe while it runs.
    // The image of the board under way (with repeat: since its start).
    std::vector<uint8_t> Image() const;
    std::vector<uint8_t> Received() const;             // every byte from the tool
    std::vector<std::vector<uint8_t>> Writes() const;  // every write to the tool, in order
    int BlocksReceived() const;                        // of the board under way
    // Boards whose end command came.
    int BoardsEnded() const;
    // Error of saving the image, empty when it was saved or not asked for.
    std::string ImageError() const;
    // Commands the boot loader refused (a page or block address off its boundary), one text
    // each; empty for a tool that keeps to the protocol.
    std::vector<std::string> ProtocolFaults() const;

private:
    using Clock = std::chrono::steady_clock;

    // What a wait on the line and the stop pipe brought.
    struct LineEvents {
        bool failed = false;    // the wait itself failed
        bool stop = false;      // RequestStop
        bool readable = false;  // bytes from the tool
        bool writable = false;  // room for pending bytes to the tool
        bool hungUp = false;    // the line failed or the tool closed it after the end
    };
    LineEvents WaitForLine() const;
    // One look at the line after a wait: takes in, sends what is due, greets, lets go at the
    // end. Returns the outcome once the run is over.
    SimOutcome Advance(Clock::time_point at, const LineEvents& events);
    void GreetWhenDue(Clock::time_point at);
    void ReadFromTool(Clock::time_point now);
    void ProcessDue(Clock::time_point now);
    void TakeIn(const SimWire::Segment& segment);
    void Answer(const BootLoaderDevice::Step& step, Clock::time_point at);
    void Greet(Clock::time_point now);
    void FinishEnd();
    void NextBoard(Clock::time_point at);
    Clock::time_point NextWake(Clock::time_point now) const;
    Clock::time_point RegreetDue() const;
    void SetOutcome(SimOutcome outcome);
    void NoteProtocolFault(const BootLoaderDevice::Step& step);
    void Note(const std::string& text) const;
    void Trace(const std::string& text) const;

    const SimOptions options_;
    PseudoTerminal line_;
    ScopedFd stopRead_;
    ScopedFd stopWrite_;
    std::thread thread_;

    // Run thread only.
    BootLoaderDevice device_;
    SimWire wire_;
    SimFaultPlan plan_;
    Clock::time_point nextGreeting_{};
    Clock::time_point lastHeard_{};
    Clock::time_point regreetLook_{};  // earliest next look at a silent line
    Clock::time_point lingerUntil_{};
    bool heardSinceGreeting_ = false;
    bool silent_ = false;
    bool hungUp_ = false;
    // Unplugging waits until the tool has read what was sent before it, as on a real line.
    bool hangupPending_ = false;
    Clock::time_point hangupFrom_{};
    Clock::time_point hangupBy_{};
    bool ended_ = false;
    bool released_ = false;
    int board_ = 1;              // counted from 1
    bool nextBoardDue_ = false;  // repeat: the next board comes at nextBoard_
    Clock::time_point nextBoard_{};

    // Shared with the callers.
    mutable Mutex mutex_;
    std::condition_variable changed_;  // with mutex_
    SimOutcome outcome_ GUARDED_BY(mutex_) = SimOutcome::Running;
    int boardsEnded_ GUARDED_BY(mutex_) = 0;
    std::vector<uint8_t> image_ GUARDED_BY(mutex_);
    std::vector<uint8_t> received_ GUARDED_BY(mutex_);
    std::vector<std::vector<uint8_t>> writes_ GUARDED_BY(mutex_);
    int blocks_ GUARDED_BY(mutex_) = 0;
    std::string imageError_ GUARDED_BY(mutex_);
    std::vector<std::string> protocolFaults_ GUARDED_BY(mutex_);
};
