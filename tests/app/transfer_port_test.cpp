// The window's port: what was queued before a Close still reaches the device.
#include <numeric>

#include "AppTesting.h"
#include "app/QtDispatcher.h"
#include "app/WindowTransferPort.h"
#include "sim/BootLoaderSim.h"

namespace app_test {
namespace {

TEST(WindowTransferPort, CloseRightAfterAWriteDropsNothing) {
    QTemporaryDir temp;
    SimOptions options;
    options.linkPath = (temp.path() + "/bk").toStdString();
    BootLoaderSim sim(options);
    sim.Start();
    TVaComm comm(std::make_shared<TQtDispatcher>());
    TWindowTransferPort port(comm);
    port.SetDeviceName(sim.LinePath());
    port.Open();
    // Five block frames; the device echoes them, and nothing here reads the echo.
    for (int round = 0; round < 5; ++round) {
        std::vector<uint8_t> bytes(131);
        std::iota(bytes.begin(), bytes.end(), static_cast<uint8_t>(round));
        port.WriteBytes(bytes.data(), static_cast<int32_t>(bytes.size()));
    }
    port.Close();
    EXPECT_TRUE(WaitFor([&] { return sim.Received().size() >= 5 * 131; }, 30000))
        << sim.Received().size();
    sim.Stop();
}

}  // namespace
}  // namespace app_test
