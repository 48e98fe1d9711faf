// SPDX-License-Identifier: MIT
// The smallest front end: one board on one port, with no desktop and no catalogue. It prepares
// the update file as every front end does (read once, the station's trusted keys, the release
// signature, the conversion), runs one board session and tells what happened as plain lines on
// standard output, the cause of a failure by its stable code. Everything it knows of the
// transfer comes from the session's observer and result.
//   example_front_end FILE PORT
// Exit status 0 when the board is done, 1 otherwise.
#include <cstdio>
#include <exception>
#include <string>

#include "files/UpdateFiles.h"
#include "line/BoardSession.h"
#include "loader/ProgressGauge.h"
#include "serial/VaEventLoop.h"

namespace {

// Nothing stops this front end but the session's own time-out.
class NoStop final : public BoardStop {
public:
    void Add(TVaEventLoop&) override {}
    void Remove(TVaEventLoop&) override {}
    bool Stopped() const override { return false; }
    int Signal() const override { return 0; }
};

class Lines final : public BoardSessionObserver {
public:
    void Waiting(const std::string& port) override { std::printf("waiting %s\n", port.c_str()); }
    void Greeted() override { std::printf("greeted\n"); }
    void Started(int64_t blocksTotal, Clock::time_point) override {
        std::printf("started %lld\n", static_cast<long long>(blocksTotal));
    }
    void Confirmed(int64_t, Clock::time_point) override {}
    void Finished(int64_t blocks, Clock::time_point) override {
        std::printf("finished %lld\n", static_cast<long long>(blocks));
    }
    void WrongChecksum(uint32_t address, uint8_t, uint8_t) override {
        std::printf("wrong-checksum %04X\n", static_cast<unsigned>(address));
    }
    void Refused(TransferMessage) override { std::printf("refused\n"); }
    void Logged(const std::string&) override {}
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: example_front_end FILE PORT\n");
        return 2;
    }
    ConvertedUpdate update;
    try {
        // The station's rules as they stand: once it trusts a key, only signed releases.
        NullGauge gauge;
        PrepareUpdateFile(argv[1], {}, update, gauge);
    } catch (const std::exception&) {
        // The window and tevr-flash say this in their users' words; the example keeps it short.
        std::printf("refused file\n");
        return 1;
    }
    BoardSessionOptions options;
    options.port = argv[2];
    options.timeout = std::chrono::seconds(5);
    Lines lines;
    NoStop stop;
    const BoardSessionResult result = BoardSession(options, update, lines, stop).Attempt();
    if (result.outcome == BoardOutcome::Done) {
        std::printf("done %lld/%lld\n", static_cast<long long>(result.blocksSent),
                    static_cast<long long>(result.blocksTotal));
        return 0;
    }
    std::printf("failed %s\n", BoardCauseCode(result.cause));
    return 1;
}
