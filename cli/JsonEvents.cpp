// SPDX-License-Identifier: MIT
#include "cli/JsonEvents.h"

#include <ostream>

#include "base/HexDigits.h"
#include "cli/CauseJson.h"
#include "cli/LineCheck.h"
#include "cli/TevrFlash.h"

namespace {
constexpr int64_t kBlockBytes = 128;

void WriteLine(std::ostream& out, nlohmann::json object) {
    // Messages may quote an update file's bytes: never a line the reader cannot parse.
    out << object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    out.flush();
}

// A file that is not signed has no release: null, not a release of no name.
nlohmann::json NullWhenEmpty(const std::string& text) {
    return text.empty() ? nlohmann::json() : nlohmann::json(text);
}

int ExitOf(const BoardResult& result) {
    switch (result.outcome) {
        case BoardOutcome::Done:
            return kExitOk;
        case BoardOutcome::Stalled:
            return kExitStalled;
        case BoardOutcome::Interrupted:
            return SignalExit(result.signal);
        case BoardOutcome::Failed:
            break;
    }
    return kExitError;
}
}  // namespace

JsonFlashReport::JsonFlashReport(std::ostream& out, std::string port, JsonFileFacts facts,
                                 bool station)
    : out_(out), port_(std::move(port)), facts_(std::move(facts)), station_(station) {}

void JsonFlashReport::Write(const std::string& event, nlohmann::json fields) {
    nlohmann::json object{{"schema", kJsonSchema}, {"event", event}, {"port", port_}};
    if (station_) object["board"] = board_;
    object.update(fields);
    WriteLine(out_, std::move(object));
}

void JsonFlashReport::Announce() {
    if (announced_) return;
    announced_ = true;
    Write("start", {{"file", facts_.file},
                    {"size", facts_.size},
                    {"sha256", facts_.sha256},
                    {"blocks", facts_.blocks},
                    {"release", NullWhenEmpty(facts_.release)},
                    {"key_id", NullWhenEmpty(facts_.keyId)}});
}

void JsonFlashReport::Waiting(const std::string&) {
    Announce();
    Write("waiting");
}

void JsonFlashReport::Greeted() {
    Write("greeted");
}

void JsonFlashReport::Started(int64_t blocksTotal, Clock::time_point at) {
    start_ = lastProgress_ = at;
    blocksTotal_ = blocksTotal;
    blocksSent_ = 0;
    progressPending_ = false;
}

void JsonFlashReport::Update(int64_t blocksSent, Clock::time_point at) {
    blocksSent_ = blocksSent;
    progressPending_ = true;
    if (at - lastProgress_ >= kProgressPeriod) Progress(at);
}

void JsonFlashReport::Progress(Clock::time_point at) {
    const double seconds = std::chrono::duration<double>(at - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(blocksSent_ * kBlockBytes) / seconds : 0;
    Write("progress", {{"blocks_confirmed", blocksSent_},
                       {"blocks_total", blocksTotal_},
                       {"bytes_per_second", static_cast<int64_t>(rate)}});
    lastProgress_ = at;
    progressPending_ = false;
}

void JsonFlashReport::Finish(Clock::time_point at) {
    // The last figures always go out, however soon after the previous ones.
    if (progressPending_) Progress(at);
}

void JsonFlashReport::WrongChecksum(uint32_t blockAddress, uint8_t expected, uint8_t received) {
    Write("wrong_checksum", {{"address", "0x" + HexDigits(blockAddress, 4)},
                             {"expected", "0x" + HexDigits(expected, 2)},
                             {"received", "0x" + HexDigits(received, 2)}});
}

void JsonFlashReport::Ended(const BoardResult& result) {
    Announce();
    nlohmann::json fields{{"exit", ExitOf(result)},
                          {"blocks_confirmed", result.blocksSent},
                          {"blocks_total", result.blocksTotal},
                          {"seconds", result.seconds}};
    if (result.outcome != BoardOutcome::Done) {
        fields["code"] = BoardCauseCode(result.cause);
        fields["cause"] = CauseJson(result.cause);
        fields["message"] = result.error ? std::string(result.error->what()) : result.message;
    }
    Write(OutcomeWord(result.outcome), std::move(fields));
    ++board_;
    announced_ = false;
}

void WriteJsonCheck(std::ostream& out, const LineCheckResult& result) {
    nlohmann::json object{{"schema", kJsonSchema},
                          {"event", "check"},
                          {"port", result.port},
                          {"ready", result.ready},
                          {"opens", !result.error && !result.path.empty()}};
    if (!result.path.empty()) object["path"] = result.path;
    if (result.rate != 0) object["rate"] = result.rate;
    if (!result.adapter.Driver.empty()) object["driver"] = result.adapter.Driver;
    if (!result.adapter.Identity.VendorId.empty()) {
        object["usb"] = {{"vendor_id", result.adapter.Identity.VendorId},
                         {"product_id", result.adapter.Identity.ProductId},
                         {"serial", result.adapter.Identity.SerialNumber}};
    }
    if (result.adapter.LatencyTimerMs >= 0)
        object["latency_timer_ms"] = result.adapter.LatencyTimerMs;
    if (!result.error) {
        object["low_latency"] = result.lowLatency == llOn            ? "on"
                                : result.lowLatency == llUnsupported ? "unsupported"
                                : result.lowLatency == llRefused     ? "refused"
                                                                     : "not_applicable";
        object["heard"] = result.heard == LineHeard::Greetings ? "greetings"
                          : result.heard == LineHeard::Traffic ? "traffic"
                                                               : "silence";
        object["greetings"] = result.greetings;
        object["other_bytes"] = result.otherBytes;
    }
    if (result.echo != EchoVerdict::NotProbed) {
        object["echo"] = result.echo == EchoVerdict::Unchanged ? "unchanged"
                         : result.echo == EchoVerdict::Missing ? "missing"
                                                               : "changed";
        if (result.echo != EchoVerdict::Missing) object["round_trip_ms"] = result.roundTripMs;
    }
    if (!result.lines.empty()) object["message"] = result.lines.back();
    if (result.error) object["message"] = result.error->what();
    WriteLine(out, std::move(object));
}
