// SPDX-License-Identifier: MIT
// The serial component as the transfer's port: what was queued before a Close reaches the device,
// even when the owning thread has not yet run the report of an earlier emptied buffer.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

#include "line/VaCommTransferPort.h"
#include "serial/VaComm.h"
#include "serial/VaEventLoop.h"
#include "sim/BootLoaderSim.h"

namespace {

using namespace std::chrono_literals;

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

TEST(VaCommTransferPortTest, CloseRightAfterAFrameDropsNothing) {
    BootLoaderSim sim(SimOptions{});
    sim.Start();
    // The loop is never run here: the write thread's report of its first emptied buffer stays
    // queued, as when the completion closes the port from inside a receive handler.
    auto loop = std::make_shared<TVaEventLoop>();
    TVaComm comm(loop);
    VaCommTransferPort port(comm);
    port.SetDeviceName(sim.TerminalPath());
    port.Open();

    std::vector<uint8_t> block(131);
    std::iota(block.begin(), block.end(), uint8_t{1});
    port.WriteBytes(block.data(), static_cast<int32_t>(block.size()));
    ASSERT_TRUE(WaitUntil([&] { return sim.Received().size() >= block.size(); }, 10s));

    const std::vector<uint8_t> end{0x99, 0x00, 0x00};
    port.WriteBytes(end.data(), static_cast<int32_t>(end.size()));
    port.Close();

    EXPECT_TRUE(WaitUntil([&] { return sim.Received().size() >= block.size() + end.size(); }, 10s))
        << sim.Received().size();
    const std::vector<uint8_t> received = sim.Received();
    ASSERT_GE(received.size(), block.size() + end.size());
    EXPECT_EQ(std::vector<uint8_t>(received.end() - 3, received.end()), end);
    sim.Stop();
}

}  // namespace
