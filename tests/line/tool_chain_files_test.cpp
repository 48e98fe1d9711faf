// SPDX-License-Identifier: MIT
// Update files in the shapes real tool chains write them, flashed end to end: every byte each
// file defines must be in the device's memory at its address.
#include <fstream>

#include "LineTest.h"
#include "support/TempFolder.h"
#include "support/ToolChainFiles.h"

namespace line_test {
namespace {

class ToolChainFileTest : public LineTest, public ::testing::WithParamInterface<ToolChainFile> {};

TEST_P(ToolChainFileTest, EveryByteLandsAtItsAddress) {
    TempFolder folder;
    const std::string path = folder / "update.hex";
    std::ofstream(path) << GetParam().file.Text();
    Launch();
    Convert(path);
    Start();
    ASSERT_TRUE(RunToCompletion()) << (errors.empty() ? "" : errors.front());
    EXPECT_EQ(observer.messages, std::vector<TransferMessage>{TransferMessage::Done});
    const Bytes image = sim->Image();
    for (const auto& [address, value] : GetParam().file.Memory()) {
        ASSERT_EQ(image.at(address), value) << "at " << std::hex << address;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ToolChainFileTest, ::testing::ValuesIn(ToolChainFiles()),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace line_test
