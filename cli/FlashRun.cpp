// SPDX-License-Identifier: MIT
#include "cli/FlashRun.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <thread>

#include "base/Translation.h"
#include "cli/BoardTable.h"
#include "cli/FlashProgress.h"
#include "cli/FlashSession.h"
#include "cli/InterruptGuard.h"
#include "cli/Journal.h"
#include "cli/JsonEvents.h"
#include "cli/LocalHost.h"
#include "cli/PartOfAll.h"
#include "cli/PortSelector.h"
#include "cli/PortStop.h"
#include "cli/Printable.h"
#include "cli/ProgramLine.h"
#include "cli/ReleaseCheck.h"
#include "cli/ReportRelay.h"
#include "cli/ReportTee.h"
#include "cli/SessionTexts.h"
#include "cli/Terminal.h"
#include "cli/TevrFlash.h"
#include "cli/TextTable.h"
#include "loader/BootLoaderTransfer.h"
#include "serial/VaEventLoop.h"
#include "serial/VaPortList.h"
#include "serial/VaUtils.h"
#include "words/Words.h"

namespace {
using Clock = std::chrono::steady_clock;

// How often the table of several ports is redrawn at most, and the progress of the ports, which
// does not wake this thread, taken in.
constexpr auto kRefresh = std::chrono::milliseconds(100);

// What the journal says of the update file and this machine, the same on every line.
struct JournalFacts {
    std::string host;
    std::string file;
    uint64_t fileSize = 0;
    std::string sha256;
    std::string release;  // the signed release's trusted comment; empty: not signed
    std::string keyId;
    std::vector<TVaPortIdentity> adapters;
};

// `digest`: of the update file as it was read for the conversion, so that the hash is that of
// the bytes flashed even when the file is replaced meanwhile.
JournalFacts GatherFacts(const FlashRunOptions& options, const FileDigest& digest) {
    JournalFacts facts;
    facts.host = HostName();
    std::error_code error;
    facts.file = std::filesystem::absolute(options.file, error).lexically_normal().string();
    facts.fileSize = digest.size;
    facts.sha256 = digest.sha256;
    for (const std::string& port : options.ports) {
        std::string path = port;
        try {
            path = ResolvePort(port, options.portRoots);
        } catch (const SubjectError&) {
            // Its board fails with the reason; the journal then names no adapter.
        }
        facts.adapters.push_back(PortIdentity(VaSystemDevicePath(path), options.portRoots));
    }
    return facts;
}

class FlashRun {
public:
    FlashRun(const FlashRunOptions& options, std::ostream& err)
        : options_(options), err_(err), tallies_(options.ports.size()) {}
    ~FlashRun() {
        // Only when something went wrong in between: the ports end before what they report to.
        if (!threads_.empty() && threads_.front().joinable()) stop_.Stop(kSignalTerminate);
        for (std::thread& thread : threads_)
            if (thread.joinable()) thread.join();
    }
    FlashRun(const FlashRun&) = delete;
    FlashRun& operator=(const FlashRun&) = delete;

    int Run() {
        // A selector that names no adapter, or two, is refused before any port opens; so is a
        // port named twice, which would be flashed by two sessions at once.
        std::vector<std::string> paths;
        for (const std::string& port : options_.ports) {
            const std::string path = VaSystemDevicePath(ResolvePort(port, options_.portRoots));
            const auto same = std::find(paths.begin(), paths.end(), path);
            if (same != paths.end()) {
                const std::string& first =
                    options_.ports[static_cast<size_t>(same - paths.begin())];
                if (!IsUsbSelector(first) && !IsUsbSelector(port))
                    throw UsageError("--port", Fill(Tr("%1 is given twice"), {port}));
                throw SubjectError(port, Fill(Tr("names the port of %1 again: %2"), {first, path}));
            }
            paths.push_back(path);
        }
        UpdateDemands demands;
        demands.signature =
            options_.requireSignature ? SignatureRule::Always : SignatureRule::WhereFound;
        demands.extraKeys = ArgumentKeys(options_.trustedKeys);
        demands.digested = [this](const FileDigest& digest) {
            digest_ = digest;
            CheckFirmwareLock();
        };
        // The file is read once: the lock, the signature, the conversion, the journal and the
        // JSON events all speak of the same bytes.
        release_ = PrepareRelease(options_.file, demands, script_).release;
        if (release_)
            Say(Fill(Tr("%1: signed release %2"),
                     {PrintableText(options_.file), PrintableReleaseText(*release_)}));
        if (!options_.journal.empty()) {
            journal_.emplace(options_.journal);
            facts_ = GatherFacts(options_, digest_);
            if (release_) {
                facts_.release = release_->trustedComment;
                facts_.keyId = release_->keyId;
            }
        }
        const auto columns = [] { return TerminalColumns(); };
        if (Single()) {
            progress_ = std::make_unique<FlashProgress>(err_, options_.terminal, columns);
        } else {
            table_ = std::make_unique<BoardTable>(err_, options_.terminal, columns, options_.ports,
                                                  tallies_, options_.repeat);
        }
        if (options_.json) StartJson();
        for (size_t i = 0; i < options_.ports.size(); ++i) {
            FlashReport& shown = tees_.empty() ? progress_ ? *progress_ : table_->Board(i)
                                               : static_cast<FlashReport&>(*tees_[i]);
            relays_.push_back(std::make_unique<ReportRelay>(
                loop_, shown, [this, i](const BoardResult& result) { Ended(i, result); }));
        }

        InterruptGuard guard(loop_);
        StartPorts();
        while (running_ > 0) {
            loop_.RunUntil([this] { return running_ == 0; }, kRefresh);
            if (loop_.QuitRequested()) {
                stop_.Stop(guard.Signal());
                loop_.ResetQuit();
            }
            if (table_) table_->Refresh(Clock::now());
        }
        for (std::thread& thread : threads_)
            thread.join();
        loop_.ProcessPending();
        return Single() ? SingleEnding() : TableEnding();
    }

private:
    // Every port's events also as JSON Lines, after what the terminal shows.
    void StartJson() {
        JsonFileFacts facts;
        facts.file = options_.file;
        facts.size = digest_.size;
        facts.sha256 = digest_.sha256;
        facts.blocks = BootLoaderTransfer::CountScriptBlocks(script_.transferScript);
        if (release_) {
            facts.release = release_->trustedComment;
            facts.keyId = release_->keyId;
        }
        for (size_t i = 0; i < options_.ports.size(); ++i) {
            jsons_.push_back(std::make_unique<JsonFlashReport>(*options_.json, options_.ports[i],
                                                               facts, options_.repeat));
            FlashReport& shown = progress_ ? *progress_ : table_->Board(i);
            tees_.push_back(std::make_unique<ReportTee>(shown, *jsons_.back()));
        }
    }

    // A station set up for one firmware refuses any other before a port is touched.
    void CheckFirmwareLock() const {
        const std::string& expected = options_.expectSha256;
        if (expected.empty() || digest_.sha256 == expected) return;
        throw SubjectError(options_.file, Tr("not the firmware this station is set up for"),
                           {Fill(Tr("its SHA-256 is %1"), {digest_.sha256}),
                            Fill(Tr("the station expects %1"), {expected})});
    }

    bool Single() const { return options_.ports.size() == 1 && !options_.repeat; }

    void StartPorts() {
        // The ports' threads (and the serial threads they start) leave the signals to this one.
        InterruptGuard::StartThreads([this] {
            for (size_t i = 0; i < options_.ports.size(); ++i) {
                ++running_;
                threads_.emplace_back([this, i] { FlashPort(i); });
            }
        });
    }

    // The thread of port `index`: its session is made, run and ended here.
    void FlashPort(size_t index) {
        ReportRelay& report = *relays_[index];
        try {
            FlashOptions options;
            options.file = options_.file;
            options.timeout = options_.timeout;
            options.log = options_.log;
            options.waitForBoard = options_.repeat;
            for (;;) {
                // Looked up again for every board: a replugged adapter may have another path
                // now, and its old path another adapter.
                options.port = ResolvePort(options_.ports[index], options_.portRoots);
                FlashSession session(options, script_, report, stop_);
                const BoardResult result = session.Attempt();
                // A failure before any board greeted would only come again.
                if (!options_.repeat || !result.greeted || stop_.Stopped()) break;
            }
        } catch (const std::exception& e) {
            BoardResult result;
            result.start = result.end = std::chrono::system_clock::now();
            // A selector that names no adapter now; the session itself never throws.
            if (dynamic_cast<const SubjectError*>(&e))
                result.cause = {
                    BoardFault::PortNotFound,
                    SerialProblem{TVaCommFault::DeviceNotFound, 0, options_.ports[index]}};
            else
                result.cause = CauseOfError(e, BoardFault::SerialError);
            result.port = options_.ports[index];
            result.error = PortError(options_.ports[index], e);
            result.message = result.error->Message();
            result.blocksTotal = BootLoaderTransfer::CountScriptBlocks(script_.transferScript);
            report.Ended(result);
        }
        loop_.Post([this] { --running_; });
    }

    // On this thread, for every attempt of every port.
    void Ended(size_t index, const BoardResult& result) {
        // A station stopped while it waited for its next board has no board to count.
        if (options_.repeat && result.outcome == BoardOutcome::Interrupted && !result.greeted)
            return;
        tallies_[index].Add(result);
        if (journal_) Record(index, result);
    }

    void Record(size_t index, const BoardResult& result) {
        JournalEntry entry;
        entry.start = result.start;
        entry.end = result.end;
        entry.host = facts_.host;
        entry.port = options_.ports[index];
        entry.adapter = facts_.adapters[index];
        entry.file = facts_.file;
        entry.fileSize = facts_.fileSize;
        entry.sha256 = facts_.sha256;
        entry.release = facts_.release;
        entry.keyId = facts_.keyId;
        entry.blocksSent = result.blocksSent;
        entry.blocksTotal = result.blocksTotal;
        entry.seconds = result.seconds;
        entry.result = OutcomeWord(result.outcome);
        entry.code = BoardCauseCode(result.cause);
        entry.cause = result.cause;
        entry.signal = result.signal;
        try {
            journal_->Append(entry);
        } catch (const SubjectError& e) {
            if (!journalError_) {
                journalError_ = e;
                FlashReport& shown = progress_ ? *progress_ : table_->Board(index);
                shown.Note(Fill(Tr("%1; the record of this board is lost"), {e.what()}));
            }
        }
    }

    int SignalStatus() const { return SignalExit(stop_.Signal()); }

    // One port: as the flasher has always ended.
    int SingleEnding() const {
        const BoardResult& result = *tallies_.front().last;
        switch (result.outcome) {
            case BoardOutcome::Interrupted:
                return SignalStatus();
            case BoardOutcome::Failed:
                throw *result.error;
            case BoardOutcome::Stalled:
                if (journalError_) throw *journalError_;
                return kExitStalled;
            case BoardOutcome::Done:
                break;
        }
        if (journalError_) throw *journalError_;
        return kExitOk;
    }

    int TableEnding() const {
        table_->Close();
        std::vector<std::string> failed, stalled;
        int boards = 0;
        for (size_t i = 0; i < tallies_.size(); ++i) {
            const PortTally& tally = tallies_[i];
            boards += tally.done + tally.failed;
            const BoardOutcome last = tally.last ? tally.last->outcome : BoardOutcome::Failed;
            if (options_.repeat ? tally.failed > 0 : last == BoardOutcome::Failed)
                failed.push_back(options_.ports[i]);
            if (!options_.repeat && last == BoardOutcome::Stalled)
                stalled.push_back(options_.ports[i]);
        }
        if (stop_.Stopped()) {
            const std::string word = SignalText(stop_.Signal());
            if (options_.repeat) {
                Say(Fill(TrN("%1 after %2 board; every port is closed",
                             "%1 after %2 boards; every port is closed",
                             static_cast<unsigned long>(boards)),
                         {word, std::to_string(boards)}));
            } else {
                Say(Fill(Tr("%1; every port is closed"), {word}));
            }
            return SignalStatus();
        }
        const size_t ports = options_.ports.size();
        // Every board not done is named, the stalled ones too when others failed: each needs
        // its restart.
        if (!stalled.empty())
            Say(PartOfAll(TrN("%1 of %2 board stalled: %3; their ports are closed",
                              "%1 of %2 boards stalled: %3; their ports are closed", ports),
                          stalled, ports));
        if (!failed.empty()) {
            if (options_.repeat)
                throw std::runtime_error(
                    PartOfAll(TrN("boards failed on %1 of %2 port: %3",
                                  "boards failed on %1 of %2 ports: %3", ports),
                              failed, ports));
            throw std::runtime_error(
                PartOfAll(TrN("%1 of %2 board failed: %3", "%1 of %2 boards failed: %3", ports),
                          failed, ports));
        }
        if (journalError_) throw *journalError_;
        if (!stalled.empty()) return kExitStalled;
        Say(Fill(TrN("all %1 board done", "all %1 boards done", ports), {std::to_string(ports)}));
        return kExitOk;
    }

    void Say(const std::string& text) const {
        const std::string line = ProgramLine(text);
        err_ << (options_.terminal ? FitLines(line, static_cast<size_t>(TerminalColumns())) : line);
        err_.flush();
    }

    const FlashRunOptions& options_;
    std::ostream& err_;
    ConvertedUpdate script_;
    std::optional<Journal> journal_;
    FileDigest digest_;                        // of the update file as read for the conversion
    std::optional<ReleaseSignature> release_;  // verified; none: not signed or not checked
    JournalFacts facts_;
    std::optional<SubjectError> journalError_;
    std::vector<PortTally> tallies_;
    std::unique_ptr<FlashProgress> progress_;
    std::unique_ptr<BoardTable> table_;
    TVaEventLoop loop_;
    PortStop stop_;
    std::vector<std::unique_ptr<JsonFlashReport>> jsons_;
    std::vector<std::unique_ptr<ReportTee>> tees_;
    std::vector<std::unique_ptr<ReportRelay>> relays_;
    std::vector<std::thread> threads_;
    int running_ = 0;
};
}  // namespace

int RunFlash(const FlashRunOptions& options, std::ostream& err) {
    return FlashRun(options, err).Run();
}
