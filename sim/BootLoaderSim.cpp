// SPDX-License-Identifier: MIT
#include "sim/BootLoaderSim.h"
#include "base/Translation.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>

#include "base/HexDigits.h"
#include "sim/SimError.h"

namespace {
using namespace std::chrono_literals;

constexpr uint8_t kGreeting = 0x55;
// Before unplugging, how often to look whether the tool has read the last bytes, and for how
// long at most.
// The pseudo-terminal hands written bytes on a moment later, so the first look waits a little.
constexpr auto kDrainCheck = 5ms;
constexpr auto kDrainFirst = 50ms;
constexpr auto kDrainLimit = 1s;

// The first bytes of a frame; a longer one with its length: "22 00 00 79 ... (131 bytes)".
std::string Hex(const std::vector<uint8_t>& bytes, size_t limit = 8) {
    std::string text;
    for (size_t i = 0; i < bytes.size() && i < limit; ++i)
        text.append(i ? " " : "").append(HexDigits(bytes[i], 2));
    if (bytes.size() <= limit) return text;
    return Fill(TrN("%1 ... (%2 byte)", "%1 ... (%2 bytes)", bytes.size()),
                {text, std::to_string(bytes.size())});
}

timespec ToTimespec(std::chrono::nanoseconds d) {
    if (d < 0ns) d = 0ns;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(d);
    return timespec{static_cast<time_t>(seconds.count()), static_cast<long>((d - seconds).count())};
}
}  // namespace

BootLoaderSim::BootLoaderSim(SimOptions options)
    : options_(std::move(options)),
      line_(options_.linkPath),
      wire_(options_, line_.Master()),
      plan_(options_) {
    wire_.OnWrite([this](const std::vector<uint8_t>& bytes) {
        MutexLock lock(mutex_);
        writes_.push_back(bytes);
    });
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) throw SimError(Tr("cannot make the stop pipe"));
    stopRead_.Reset(fds[0]);
    stopWrite_.Reset(fds[1]);
    image_.assign(device_.Memory().begin(), device_.Memory().end());
}

BootLoaderSim::~BootLoaderSim() {
    Stop();
}

void BootLoaderSim::Start() {
    thread_ = std::thread([this] { Run(); });
}

void BootLoaderSim::RequestStop() {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopWrite_.Get(), &byte, 1);
}

SimOutcome BootLoaderSim::Stop() {
    RequestStop();
    if (thread_.joinable()) thread_.join();
    return Outcome();
}

SimOutcome BootLoaderSim::Run() {
    const auto start = Clock::now();
    lastHeard_ = start;
    nextGreeting_ = start;
    SimOutcome result = SimOutcome::Running;
    while (result == SimOutcome::Running) {
        const LineEvents events = WaitForLine();
        if (events.failed || events.stop) break;
        result = Advance(Clock::now(), events);
    }
    if (result == SimOutcome::Running || ended_) {
        // A station has done its work once any board has ended.
        result = BoardsEnded() > 0 ? SimOutcome::EndCommand : SimOutcome::Stopped;
    }
    if (result == SimOutcome::HungUp) Note(Tr("line closed (device unplugged)"));
    SetOutcome(result);
    return result;
}

BootLoaderSim::LineEvents BootLoaderSim::WaitForLine() const {
    const auto now = Clock::now();
    const auto wake = NextWake(now);
    pollfd fds[2] = {{stopRead_.Get(), POLLIN, 0}, {line_.Master(), POLLIN, 0}};
    if (wire_.HasPending()) fds[1].events |= POLLOUT;
    const timespec timeout = ToTimespec(wake - now);
    const int ready =
        ::ppoll(fds, 2, wake == Clock::time_point::max() ? nullptr : &timeout, nullptr);
    LineEvents events;
    events.failed = ready < 0 && errno != EINTR;
    events.stop = (fds[0].revents & POLLIN) != 0;
    events.readable = (fds[1].revents & POLLIN) != 0;
    events.writable = (fds[1].revents & POLLOUT) != 0;
    events.hungUp = (fds[1].revents & (POLLHUP | POLLERR)) != 0;
    return events;
}

SimOutcome BootLoaderSim::Advance(Clock::time_point at, const LineEvents& events) {
    if (events.readable) ReadFromTool(at);
    if (events.writable) wire_.FlushPending();
    if (events.hungUp) {
        // Once we have let go of the line this means the tool has closed its end too;
        // before, the line itself has failed.
        if (!released_) Note(Tr("the line failed"));
        return released_ ? SimOutcome::EndCommand : SimOutcome::Stopped;
    }
    ProcessDue(at);
    if (hangupPending_ && at >= hangupFrom_ &&
        ((!wire_.HasPending() && line_.Unread() == 0) || at >= hangupBy_)) {
        wire_.Disconnect();
        line_.HangUp();
        hungUp_ = true;
        return SimOutcome::HungUp;
    }
    if (!silent_) GreetWhenDue(at);
    if (ended_ && options_.repeat) {
        // The board is taken away once everything for it has gone out; the next one follows.
        if (!wire_.Idle() || wire_.HasPending()) return SimOutcome::Running;
        if (!nextBoardDue_) {
            nextBoardDue_ = true;
            nextBoard_ = at + std::chrono::milliseconds(options_.nextBoardAfterMs);
        } else if (at >= nextBoard_) {
            NextBoard(at);
        }
        return SimOutcome::Running;
    }
    if (ended_ && wire_.Idle() && !wire_.HasPending() && !released_) {
        line_.ReleaseTerminal();
        released_ = true;
        lingerUntil_ = at + std::chrono::milliseconds(options_.lingerMs);
    }
    return released_ && at >= lingerUntil_ ? SimOutcome::EndCommand : SimOutcome::Running;
}

void BootLoaderSim::GreetWhenDue(Clock::time_point at) {
    const auto phase = device_.CurrentPhase();
    if (phase == BootLoaderDevice::Phase::Greeting && at >= nextGreeting_) Greet(at);
    if (phase != BootLoaderDevice::Phase::Commands || options_.regreetAfterMs <= 0 ||
        !wire_.Idle() || at < RegreetDue()) {
        return;
    }
    // A tool that has not read what we sent is busy (a message on its screen) or gone;
    // greeting now would throw those bytes away. Look again a little later.
    if (line_.Unread() > 0 || wire_.HasPending()) {
        regreetLook_ = at + std::chrono::milliseconds(options_.greetIntervalMs);
        return;
    }
    Note(Fill(Tr("no bytes from the tool for %1 ms: greeting again"),
              {std::to_string(options_.regreetAfterMs)}));
    device_.Restart();
    heardSinceGreeting_ = false;
    Greet(at);
}

BootLoaderSim::Clock::time_point BootLoaderSim::NextWake(Clock::time_point now) const {
    if (hangupPending_) return std::max(now + kDrainCheck, hangupFrom_);
    auto wake = wire_.NextDue();
    if (silent_ || hungUp_) return std::max(wake, now);
    const auto phase = device_.CurrentPhase();
    if (phase == BootLoaderDevice::Phase::Greeting) wake = std::min(wake, nextGreeting_);
    if (phase == BootLoaderDevice::Phase::Commands && options_.regreetAfterMs > 0 && wire_.Idle()) {
        wake = std::min(wake, RegreetDue());
    }
    if (released_) wake = std::min(wake, lingerUntil_);
    if (nextBoardDue_) wake = std::min(wake, nextBoard_);
    return std::max(wake, now);
}

BootLoaderSim::Clock::time_point BootLoaderSim::RegreetDue() const {
    // Quiet both ways: the pseudo-terminal also needs a moment before written bytes show as
    // unread.
    const auto quietSince = std::max(lastHeard_, wire_.LastWrite());
    return std::max(quietSince + std::chrono::milliseconds(options_.regreetAfterMs), regreetLook_);
}

void BootLoaderSim::ReadFromTool(Clock::time_point now) {
    std::vector<uint8_t> bytes;
    uint8_t buffer[4096];
    for (;;) {
        const ssize_t n = ::read(line_.Master(), buffer, sizeof buffer);
        if (n <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    if (bytes.empty()) return;
    if (options_.trace) Trace(Fill(Tr("tool: %1"), {Hex(bytes)}));
    {
        MutexLock lock(mutex_);
        received_.insert(received_.end(), bytes.begin(), bytes.end());
    }
    if (silent_ || ended_) return;
    lastHeard_ = now;
    heardSinceGreeting_ = true;
    wire_.FromTool(std::move(bytes), now);
}

void BootLoaderSim::ProcessDue(Clock::time_point now) {
    while (!hungUp_) {
        std::optional<SimWire::Segment> segment = wire_.TakeDue(now);
        if (!segment) break;
        if (segment->fromTool) {
            TakeIn(*segment);
            if (options_.split) wire_.WriteEcho();
            continue;
        }
        // The device's own bytes go out in a write of their own, after the echo before them.
        wire_.WriteEcho();
        if (!segment->bytes.empty()) {
            Trace(Fill(Tr("device: %1"), {Hex(segment->bytes)}));
            wire_.Write(std::move(segment->bytes));
        }
        if (segment->after == SimFaultPlan::After::FallSilent) {
            Note(Tr("falling silent"));
            silent_ = true;
            wire_.Clear();
        } else if (segment->after == SimFaultPlan::After::HangUp) {
            hangupPending_ = true;
            hangupFrom_ = now + kDrainFirst;
            hangupBy_ = now + kDrainLimit;
            silent_ = true;
            wire_.Clear();
        }
    }
    wire_.WriteEcho();
}

void BootLoaderSim::TakeIn(const SimWire::Segment& segment) {
    for (uint8_t byte : segment.bytes) {
        const BootLoaderDevice::Step step = device_.Feed(byte);
        if (plan_.DropsEcho(step)) {
            Note(Fill(Tr("echo byte %1 of block %2 lost"),
                      {std::to_string(SimFaultPlan::kDroppedEchoPosition + 1),
                       std::to_string(step.block)}));
        } else if (!options_.noEcho) {
            wire_.Echo(byte);
        }
        if (step.blockDone) {
            MutexLock lock(mutex_);
            image_.assign(device_.Memory().begin(), device_.Memory().end());
            blocks_ = device_.BlocksReceived();
        }
        if (step.misaligned) NoteProtocolFault(step);
        if (step.answers) Answer(step, segment.due);
        if (step.ended) {
            ended_ = true;
            FinishEnd();
        }
    }
}

void BootLoaderSim::Answer(const BootLoaderDevice::Step& step, Clock::time_point at) {
    const int blocks = device_.BlocksReceived();
    if (step.blockDone) Trace(Fill(Tr("block %1 answered"), {std::to_string(blocks)}));
    if (step.greeted) Note(Tr("greeting answered"));
    SimFaultPlan::After after = plan_.AfterAnswer(step, blocks);
    uint8_t answer = step.answer;
    if (const std::optional<uint8_t> wrong = plan_.WrongChecksum(step)) {
        Note(Fill(Tr("block %1 answered with a wrong checksum"), {std::to_string(blocks)}));
        wire_.SendAt(answer, wire_.AnswerDue(at) + SimFaultPlan::kCorrectChecksumDelay, after);
        answer = *wrong;
        after = SimFaultPlan::After::Nothing;
    }
    wire_.Answer(answer, at, after);
}

void BootLoaderSim::Greet(Clock::time_point now) {
    nextGreeting_ = now + std::chrono::milliseconds(options_.greetIntervalMs);
    if (heardSinceGreeting_) {
        // The tool is talking: let it finish rather than greet across it.
        heardSinceGreeting_ = false;
        return;
    }
    // An unanswered greeting still waiting unread is replaced, not piled up.
    line_.DiscardUnread();
    wire_.Send(kGreeting, now);
}

void BootLoaderSim::FinishEnd() {
    std::string error;
    const std::string imagePath = options_.repeat && !options_.imagePath.empty()
                                      ? options_.imagePath + "." + std::to_string(board_)
                                      : options_.imagePath;
    if (!imagePath.empty()) {
        std::ofstream file(imagePath, std::ios::binary | std::ios::trunc);
        const auto& memory = device_.Memory();
        file.write(reinterpret_cast<const char*>(memory.data()),
                   static_cast<std::streamsize>(memory.size()));
        file.close();
        if (!file) error = Fill(Tr("cannot write the image to %1"), {imagePath});
    }
    const auto blocks = static_cast<unsigned long>(device_.BlocksReceived());
    std::string text =
        Fill(TrN("end command after %1 block", "end command after %1 blocks", blocks),
             {std::to_string(blocks)});
    if (options_.repeat) text = Fill(Tr("board %1: %2"), {std::to_string(board_), text});
    if (!imagePath.empty() && error.empty())
        text = Fill(Tr("%1, image saved to %2"), {text, imagePath});
    Note(text);
    if (!error.empty()) Note(error);
    {
        MutexLock lock(mutex_);
        ++boardsEnded_;
        if (imageError_.empty()) imageError_ = error;
    }
    changed_.notify_all();
}

void BootLoaderSim::NextBoard(Clock::time_point at) {
    ++board_;
    device_ = BootLoaderDevice();
    plan_.Rearm();
    ended_ = false;
    nextBoardDue_ = false;
    heardSinceGreeting_ = false;
    lastHeard_ = at;
    nextGreeting_ = at;
    {
        MutexLock lock(mutex_);
        image_.assign(device_.Memory().begin(), device_.Memory().end());
        blocks_ = 0;
    }
    Note(Fill(Tr("board %1 in place: greeting"), {std::to_string(board_)}));
}

void BootLoaderSim::SetOutcome(SimOutcome outcome) {
    {
        MutexLock lock(mutex_);
        outcome_ = outcome;
    }
    changed_.notify_all();
}

bool BootLoaderSim::WaitForEnd(std::chrono::milliseconds timeout) {
    MutexLock lock(mutex_);
    return lock.WaitFor(changed_, timeout, [this]() REQUIRES(mutex_) { return boardsEnded_ > 0; });
}

bool BootLoaderSim::WaitForOutcome(std::chrono::milliseconds timeout) {
    MutexLock lock(mutex_);
    return lock.WaitFor(changed_, timeout,
                        [this]() REQUIRES(mutex_) { return outcome_ != SimOutcome::Running; });
}

SimOutcome BootLoaderSim::Outcome() const {
    MutexLock lock(mutex_);
    return outcome_;
}

std::vector<uint8_t> BootLoaderSim::Image() const {
    MutexLock lock(mutex_);
    return image_;
}

std::vector<uint8_t> BootLoaderSim::Received() const {
    MutexLock lock(mutex_);
    return received_;
}

std::vector<std::vector<uint8_t>> BootLoaderSim::Writes() const {
    MutexLock lock(mutex_);
    return writes_;
}

int BootLoaderSim::BlocksReceived() const {
    MutexLock lock(mutex_);
    return blocks_;
}

int BootLoaderSim::BoardsEnded() const {
    MutexLock lock(mutex_);
    return boardsEnded_;
}

void BootLoaderSim::NoteProtocolFault(const BootLoaderDevice::Step& step) {
    const std::string text =
        Fill(step.blockDone ? Tr("protocol fault: block command at %1, not a multiple of %2")
                            : Tr("protocol fault: page command at %1, not a multiple of %2"),
             {HexDigits(static_cast<uint32_t>(device_.LastAddress()), 4),
              std::to_string(step.blockDone ? BootLoaderDevice::kBlockDataSize
                                            : BootLoaderDevice::kPageSize)});
    Note(text);
    MutexLock lock(mutex_);
    protocolFaults_.push_back(text);
}

std::vector<std::string> BootLoaderSim::ProtocolFaults() const {
    MutexLock lock(mutex_);
    return protocolFaults_;
}

std::string BootLoaderSim::ImageError() const {
    MutexLock lock(mutex_);
    return imageError_;
}

void BootLoaderSim::Note(const std::string& text) const {
    if (options_.note) options_.note(text);
}

void BootLoaderSim::Trace(const std::string& text) const {
    if (options_.trace) options_.trace(text);
}
