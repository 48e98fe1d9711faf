#include "sim/BootLoaderSim.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>

#include "sim/SimError.h"

namespace {
using namespace std::chrono_literals;

// 10 bits (start, 8 data, stop) at 10400 bit/s.
constexpr auto kPacedByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / 10400);
// Without pacing the device still answers a moment after the echo, as it does on the line.
constexpr auto kAnswerGap = 1ms;
constexpr auto kSplitGap = 2ms;
// Paced echo is handed to the tool in batches of about this much line time; answers are never
// held back by it.
constexpr auto kEchoBatch = 4ms;
constexpr auto kCorrectChecksumDelay = 200ms;
constexpr size_t kDroppedEchoPosition = 100;
constexpr uint8_t kGreeting = 0x55;
// Before unplugging, how often to look whether the tool has read the last bytes, and for how
// long at most.
// The pseudo-terminal hands written bytes on a moment later, so the first look waits a little.
constexpr auto kDrainCheck = 5ms;
constexpr auto kDrainFirst = 50ms;
constexpr auto kDrainLimit = 1s;

std::string Hex(const std::vector<uint8_t>& bytes, size_t limit = 8) {
    std::string text;
    char pair[4];
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        std::snprintf(pair, sizeof pair, "%s%02X", i ? " " : "", bytes[i]);
        text += pair;
    }
    if (bytes.size() > limit) text += " ... (" + std::to_string(bytes.size()) + " bytes)";
    return text;
}

timespec ToTimespec(std::chrono::nanoseconds d) {
    if (d < 0ns) d = 0ns;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(d);
    return timespec{static_cast<time_t>(seconds.count()), static_cast<long>((d - seconds).count())};
}
}  // namespace

BootLoaderSim::BootLoaderSim(SimOptions options)
    : options_(std::move(options)),
      byteTime_(options_.pace ? Clock::duration(kPacedByteTime) : Clock::duration::zero()),
      line_(options_.linkPath),
      pieces_(options_.seed) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) throw SimError("cannot make the stop pipe");
    stopRead_ = fds[0];
    stopWrite_ = fds[1];
    image_.assign(device_.Memory().begin(), device_.Memory().end());
}

BootLoaderSim::~BootLoaderSim() {
    Stop();
    ::close(stopRead_);
    ::close(stopWrite_);
}

void BootLoaderSim::Start() {
    thread_ = std::thread([this] { Run(); });
}

void BootLoaderSim::RequestStop() {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopWrite_, &byte, 1);
}

SimOutcome BootLoaderSim::Stop() {
    RequestStop();
    if (thread_.joinable()) thread_.join();
    return Outcome();
}

SimOutcome BootLoaderSim::Run() {
    const auto start = Clock::now();
    wireFree_ = start;
    lastHeard_ = start;
    nextGreeting_ = start;
    SimOutcome result = SimOutcome::Running;
    while (result == SimOutcome::Running) {
        const auto now = Clock::now();
        const auto wake = NextWake(now);
        pollfd fds[2] = {{stopRead_, POLLIN, 0}, {line_.Master(), POLLIN, 0}};
        if (!pendingOut_.empty()) fds[1].events |= POLLOUT;
        const timespec timeout = ToTimespec(wake - now);
        const int ready =
            ::ppoll(fds, 2, wake == Clock::time_point::max() ? nullptr : &timeout, nullptr);
        if (ready < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) {
            result = SimOutcome::Stopped;
            break;
        }
        const auto at = Clock::now();
        if (fds[1].revents & POLLIN) ReadFromTool(at);
        if (fds[1].revents & POLLOUT) FlushPending();
        if (fds[1].revents & (POLLHUP | POLLERR)) {
            // Once we have let go of the line this means the tool has closed its end too;
            // before, the line itself has failed.
            if (!released_) Note("the line failed");
            result = released_ ? SimOutcome::EndCommand : SimOutcome::Stopped;
            break;
        }
        ProcessDue(at);
        if (hangupPending_ && at >= hangupFrom_ &&
            ((pendingOut_.empty() && line_.Unread() == 0) || at >= hangupBy_)) {
            line_.HangUp();
            hungUp_ = true;
        }
        if (hungUp_) {
            result = SimOutcome::HungUp;
            break;
        }
        if (device_.CurrentPhase() == BootLoaderDevice::Phase::Greeting && !silent_ &&
            at >= nextGreeting_) {
            Greet(at);
        }
        if (device_.CurrentPhase() == BootLoaderDevice::Phase::Commands && !silent_ &&
            options_.regreetAfterMs > 0 && schedule_.empty() && at >= RegreetDue()) {
            // A tool that has not read what we sent is busy (a message on its screen) or
            // gone; greeting now would throw those bytes away. Look again a little later.
            if (line_.Unread() > 0 || !pendingOut_.empty()) {
                regreetLook_ = at + std::chrono::milliseconds(options_.greetIntervalMs);
            } else {
                Note("no bytes from the tool for " + std::to_string(options_.regreetAfterMs) +
                     " ms: greeting again");
                device_.Restart();
                heardSinceGreeting_ = false;
                Greet(at);
            }
        }
        if (ended_ && schedule_.empty() && pendingOut_.empty() && !released_) {
            line_.ReleaseTerminal();
            released_ = true;
            lingerUntil_ = at + std::chrono::milliseconds(options_.lingerMs);
        }
        if (released_ && at >= lingerUntil_) result = SimOutcome::EndCommand;
    }
    if (result == SimOutcome::Running || ended_) {
        result = ended_ ? SimOutcome::EndCommand : SimOutcome::Stopped;
    }
    if (result == SimOutcome::HungUp) Note("line closed (device unplugged)");
    SetOutcome(result);
    return result;
}

BootLoaderSim::Clock::time_point BootLoaderSim::NextWake(Clock::time_point now) const {
    auto wake = Clock::time_point::max();
    if (hangupPending_) return std::max(now + kDrainCheck, hangupFrom_);
    if (!schedule_.empty()) {
        const auto first = schedule_.front().due;
        if (options_.pace && !options_.split) {
            // Gather the echo of a few bytes, but wake exactly for the last byte received and
            // for every answer of the device.
            auto batchEnd = std::min(first + kEchoBatch, schedule_.back().due);
            for (const Segment& s : schedule_) {
                if (s.due > batchEnd) break;
                if (!s.fromTool) {
                    batchEnd = s.due;
                    break;
                }
            }
            wake = std::max(first, batchEnd);
        } else {
            wake = first;
        }
    }
    if (silent_ || hungUp_) return wake;
    const auto phase = device_.CurrentPhase();
    if (phase == BootLoaderDevice::Phase::Greeting) wake = std::min(wake, nextGreeting_);
    if (phase == BootLoaderDevice::Phase::Commands && options_.regreetAfterMs > 0 &&
        schedule_.empty()) {
        wake = std::min(wake, RegreetDue());
    }
    if (released_) wake = std::min(wake, lingerUntil_);
    return std::max(wake, now);
}

BootLoaderSim::Clock::time_point BootLoaderSim::RegreetDue() const {
    // Quiet both ways: the pseudo-terminal also needs a moment before written bytes show as
    // unread.
    const auto quietSince = std::max(lastHeard_, lastSent_);
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
    {
        std::lock_guard lock(mutex_);
        received_.insert(received_.end(), bytes.begin(), bytes.end());
    }
    if (silent_ || ended_) return;
    lastHeard_ = now;
    heardSinceGreeting_ = true;

    auto at = std::max(wireFree_, now);
    if (options_.split) {
        for (size_t i = 0; i < bytes.size();) {
            const size_t piece = std::min<size_t>(1 + pieces_() % 7, bytes.size() - i);
            at += options_.pace ? byteTime_ * static_cast<int>(piece) : Clock::duration(kSplitGap);
            Schedule({at, {bytes.begin() + i, bytes.begin() + i + piece}, true});
            i += piece;
        }
    } else if (options_.pace) {
        for (uint8_t b : bytes) {
            at += byteTime_;
            Schedule({at, {b}, true});
        }
    } else {
        Schedule({at, std::move(bytes), true});
    }
    wireFree_ = at;
}

void BootLoaderSim::Schedule(Segment segment) {
    // Ordered by due time; segments due together keep the order they were made in.
    auto at = std::upper_bound(schedule_.begin(), schedule_.end(), segment.due,
                               [](Clock::time_point due, const Segment& s) { return due < s.due; });
    schedule_.insert(at, std::move(segment));
}

void BootLoaderSim::ProcessDue(Clock::time_point now) {
    std::vector<uint8_t> echo;
    const auto emitEcho = [&] {
        Emit(echo);
        echo.clear();
    };
    while (!schedule_.empty() && schedule_.front().due <= now && !hungUp_) {
        Segment segment = std::move(schedule_.front());
        schedule_.pop_front();
        if (segment.fromTool) {
            TakeIn(segment, echo);
            if (options_.split) emitEcho();
            continue;
        }
        // The device's own bytes go out in a write of their own, after the echo before them.
        emitEcho();
        if (!segment.bytes.empty()) {
            Trace("device: " + Hex(segment.bytes));
            Emit(std::move(segment.bytes));
        }
        if (segment.after == After::FallSilent) {
            Note("falling silent");
            silent_ = true;
            schedule_.clear();
        } else if (segment.after == After::HangUp) {
            hangupPending_ = true;
            hangupFrom_ = now + kDrainFirst;
            hangupBy_ = now + kDrainLimit;
            silent_ = true;
            schedule_.clear();
        }
    }
    emitEcho();
}

void BootLoaderSim::TakeIn(const Segment& segment, std::vector<uint8_t>& echo) {
    for (uint8_t byte : segment.bytes) {
        const BootLoaderDevice::Step step = device_.Feed(byte);
        if (step.block != 0 && step.block == options_.dropEchoBlock &&
            step.position == kDroppedEchoPosition && !echoDropped_) {
            echoDropped_ = true;
            Note("echo byte " + std::to_string(kDroppedEchoPosition + 1) + " of block " +
                 std::to_string(step.block) + " lost");
        } else {
            echo.push_back(byte);
        }
        if (step.blockDone) {
            std::lock_guard lock(mutex_);
            image_.assign(device_.Memory().begin(), device_.Memory().end());
            blocks_ = device_.BlocksReceived();
        }
        if (step.misaligned) NoteProtocolFault(step);
        if (step.answers) Answer(step, segment.due, echo);
        if (step.ended) {
            ended_ = true;
            FinishEnd();
        }
    }
}

void BootLoaderSim::Answer(const BootLoaderDevice::Step& step, Clock::time_point at,
                           std::vector<uint8_t>& echo) {
    const int blocks = device_.BlocksReceived();
    if (step.blockDone) Trace("block " + std::to_string(blocks) + " answered");
    if (step.greeted) Note("greeting answered");
    // Faults that follow the answer to block N, or the second greeting for N = 0.
    const auto hits = [&](int n) { return step.blockDone ? n == blocks : step.greeted && n == 0; };
    After after = After::Nothing;
    if (hits(options_.hangupAfter)) after = After::HangUp;
    if (hits(options_.silentAfter)) after = After::FallSilent;

    uint8_t answer = step.answer;
    auto due = options_.pace ? std::max(wireFree_, at) + byteTime_
                             : std::max(wireFree_, at + Clock::duration(kAnswerGap));
    if (step.blockDone && blocks == options_.badChecksumBlock && !badChecksumSent_) {
        badChecksumSent_ = true;
        Note("block " + std::to_string(blocks) + " answered with a wrong checksum");
        Schedule({due + kCorrectChecksumDelay, {answer}, false, after});
        answer = static_cast<uint8_t>(answer + 1);
        after = After::Nothing;
    }
    if (options_.merge) {
        echo.push_back(answer);
        wireFree_ += byteTime_;
        if (after != After::Nothing) Schedule({at, {}, false, after});
        return;
    }
    Schedule({due, {answer}, false, after});
    wireFree_ = due;
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
    const auto due = std::max(wireFree_, now) + byteTime_;
    wireFree_ = due;
    Schedule({due, {kGreeting}, false});
}

void BootLoaderSim::Emit(std::vector<uint8_t> bytes) {
    if (bytes.empty() || hungUp_) return;
    lastSent_ = Clock::now();
    {
        std::lock_guard lock(mutex_);
        writes_.push_back(bytes);
    }
    pendingOut_.insert(pendingOut_.end(), bytes.begin(), bytes.end());
    FlushPending();
}

void BootLoaderSim::FlushPending() {
    while (!pendingOut_.empty()) {
        const ssize_t n = ::write(line_.Master(), pendingOut_.data(), pendingOut_.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A full line waits for the tool to read; any other failure loses the bytes.
            if (n < 0 && errno != EAGAIN) pendingOut_.clear();
            return;
        }
        pendingOut_.erase(pendingOut_.begin(), pendingOut_.begin() + n);
    }
}

void BootLoaderSim::FinishEnd() {
    std::string error;
    if (!options_.imagePath.empty()) {
        std::ofstream file(options_.imagePath, std::ios::binary | std::ios::trunc);
        const auto& memory = device_.Memory();
        file.write(reinterpret_cast<const char*>(memory.data()),
                   static_cast<std::streamsize>(memory.size()));
        file.close();
        if (!file) error = "cannot write the image to " + options_.imagePath;
    }
    Note("end command after " + std::to_string(device_.BlocksReceived()) + " blocks" +
         (options_.imagePath.empty() || !error.empty() ? ""
                                                       : ", image saved to " + options_.imagePath));
    if (!error.empty()) Note(error);
    {
        std::lock_guard lock(mutex_);
        endSeen_ = true;
        imageError_ = error;
    }
    changed_.notify_all();
}

void BootLoaderSim::SetOutcome(SimOutcome outcome) {
    {
        std::lock_guard lock(mutex_);
        outcome_ = outcome;
    }
    changed_.notify_all();
}

bool BootLoaderSim::WaitForEnd(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return endSeen_; });
}

bool BootLoaderSim::WaitForOutcome(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return outcome_ != SimOutcome::Running; });
}

SimOutcome BootLoaderSim::Outcome() const {
    std::lock_guard lock(mutex_);
    return outcome_;
}

std::vector<uint8_t> BootLoaderSim::Image() const {
    std::lock_guard lock(mutex_);
    return image_;
}

std::vector<uint8_t> BootLoaderSim::Received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::vector<std::vector<uint8_t>> BootLoaderSim::Writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
}

int BootLoaderSim::BlocksReceived() const {
    std::lock_guard lock(mutex_);
    return blocks_;
}

void BootLoaderSim::NoteProtocolFault(const BootLoaderDevice::Step& step) {
    char text[96];
    std::snprintf(text, sizeof text, "protocol fault: %s command at %04zX, not a multiple of %zu",
                  step.blockDone ? "block" : "page", device_.LastAddress(),
                  step.blockDone ? BootLoaderDevice::kBlockDataSize : BootLoaderDevice::kPageSize);
    Note(text);
    std::lock_guard lock(mutex_);
    protocolFaults_.emplace_back(text);
}

std::vector<std::string> BootLoaderSim::ProtocolFaults() const {
    std::lock_guard lock(mutex_);
    return protocolFaults_;
}

std::string BootLoaderSim::ImageError() const {
    std::lock_guard lock(mutex_);
    return imageError_;
}

void BootLoaderSim::Note(const std::string& text) const {
    if (options_.note) options_.note(text);
}

void BootLoaderSim::Trace(const std::string& text) const {
    if (options_.trace) options_.trace(text);
}
