// SPDX-License-Identifier: MIT
// Settings, their refusals while open, and the device control block they make.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeDevice.h"
#include "serial/VaEventLoop.h"
#include "serial/VaUtils.h"

namespace {

const char* const kRefused = "Can't perform this operation while port is open";

// The window's values: brUser first, then the rate, all flow control off.
void ApplyWindowSettings(TVaCustomComm& comm) {
    comm.SetBaudrate(brUser);
    comm.SetUserBaudrate(10400);
    comm.Buffers().SetReadTimeout(500);
}

class SettingsTest : public ::testing::Test {
protected:
    std::shared_ptr<TVaEventLoop> loop = std::make_shared<TVaEventLoop>();
    FakeComm comm{loop};
    std::size_t Writes() {
        std::lock_guard lock(comm.port->mutex);
        return comm.port->lineSettings.size();
    }
};

}  // namespace

TEST_F(SettingsTest, WindowValuesGiveTheExpectedBlock) {
    ApplyWindowSettings(comm);
    const TVaDcb dcb = comm.BuildDcb();
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.BaudRate, 10400u);
    EXPECT_EQ(dcb.Flags, 0x0001u);
    EXPECT_EQ(dcb.XonLim, 1024);
    EXPECT_EQ(dcb.XoffLim, 1024);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    EXPECT_EQ(dcb.ErrorChar, 0);
    EXPECT_EQ(dcb.EofChar, 0);
    EXPECT_EQ(dcb.EvtChar, 0);
}

TEST_F(SettingsTest, RateAndUserRateFollowEachOther) {
    comm.SetUserBaudrate(10400);
    EXPECT_EQ(comm.Baudrate(), brUser);
    comm.SetBaudrate(br9600);
    EXPECT_EQ(comm.UserBaudrate(), 0);
    EXPECT_EQ(comm.BuildDcb().BaudRate, 9600u);
    comm.SetBaudrate(brUser);  // no user rate yet: a rate of 0, which the device refuses
    EXPECT_EQ(comm.BuildDcb().BaudRate, 0u);
}

TEST_F(SettingsTest, FlagsAndCharactersReachTheirOwnFields) {
    TVaFlowControl flow;
    flow.SetOutCtsFlow(true);
    flow.SetControlDtr(dtrHandshake);
    flow.SetControlRts(rtsToggle);
    flow.SetXonXoffIn(true);
    comm.SetFlowControl(flow);
    comm.SetOptions({coParityCheck, coNullStrip});
    comm.SetParity(paMark);
    comm.SetDatabits(db7);
    comm.SetStopbits(sb15);
    comm.EventChars().SetEofChar(0x1A);
    comm.EventChars().SetEventChar(0x0D);
    const TVaDcb dcb = comm.BuildDcb();
    EXPECT_EQ(dcb.Flags, fBinary | fParity | fOutxCtsFlow | fDtrControlHandshake | fInX | fNull |
                             fRtsControlToggle);
    EXPECT_EQ(dcb.Parity, MARKPARITY);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.StopBits, ONE5STOPBITS);
    EXPECT_EQ(dcb.EofChar, 0x1A);
    EXPECT_EQ(dcb.EvtChar, 0x0D);
}

TEST_F(SettingsTest, AssignNotifiesOnceAndRefusesOtherKinds) {
    TVaFlowControl target;
    int notified = 0;
    target.OnChange = [&](TVaPersistent&) { ++notified; };
    TVaFlowControl source;
    source.SetOutCtsFlow(true);
    source.SetXonXoffOut(true);
    source.SetControlRts(rtsEnabled);
    target.Assign(source);
    EXPECT_EQ(notified, 1);
    EXPECT_TRUE(target.XonXoffOut());
    target.SetXonXoffOut(true);  // same value: no notification
    EXPECT_EQ(notified, 1);

    TVaEventChars chars;
    int charNotes = 0;
    chars.OnChange = [&](TVaPersistent&) { ++charNotes; };
    chars.SetXonChar(0x11);  // event characters notify even when unchanged
    EXPECT_EQ(charNotes, 1);
    EXPECT_THROW(chars.Assign(source), EVaConvertError);
    EXPECT_EQ(chars.XonChar(), 0x11);
}

TEST_F(SettingsTest, ClosedPortStoresEverythingWithoutWriting) {
    comm.SetDeviceName("COM%d");
    comm.SetPortNum(3);
    EXPECT_EQ(comm.DevicePath(), "COM3");
    comm.SetDeviceName("COM1");
    EXPECT_EQ(comm.DevicePath(), "COM1");
    comm.SetDirectWrite(true);
    comm.SetUpdateDCB(false);
    comm.Buffers().SetWriteSize(16);
    comm.SetParity(paEven);
    EXPECT_EQ(Writes(), 0u);
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(SettingsTest, OpenPortRefusesTheFixedSettingsEvenWhenUnchanged) {
    comm.Open();
    ASSERT_TRUE(comm.IsOpen());
    const std::string name = comm.DeviceName();
    auto refused = [&](auto&& change) {
        try {
            change();
            ADD_FAILURE() << "not refused";
        } catch (const EVaCommError& e) {
            EXPECT_STREQ(e.what(), kRefused);
        }
    };
    refused([&] { comm.SetDeviceName(name); });
    refused([&] { comm.SetPortNum(comm.PortNum()); });
    refused([&] { comm.SetMonitorEvents(comm.MonitorEvents()); });
    refused([&] { comm.SetDirectWrite(false); });
    refused([&] { comm.SetUpdateDCB(true); });
    refused([&] { comm.SetBuffers(TVaBuffers{}); });
    refused([&] { comm.Open(); });
    // A size changed in place stays in the object but is refused, and reaches the device only
    // at the next Open; the time-outs may change at any time.
    refused([&] { comm.Buffers().SetReadSize(100); });
    EXPECT_EQ(comm.Buffers().ReadSize(), 100);
    comm.Buffers().SetReadTimeout(20);
    EXPECT_EQ(comm.DeviceName(), name);
    EXPECT_TRUE(comm.IsOpen());
}

TEST_F(SettingsTest, OpenPortReappliesOnlyRealChanges) {
    comm.Open();
    const std::size_t atOpen = Writes();
    EXPECT_EQ(atOpen, 1u);
    comm.SetParity(paNone);  // unchanged
    comm.SetEventPriority(tpNormal);
    EXPECT_EQ(Writes(), atOpen);
    TVaFlowControl flow;
    flow.SetOutCtsFlow(true);
    flow.SetXonXoffOut(true);
    flow.SetXonXoffIn(true);
    comm.SetFlowControl(flow);  // three fields, one write
    EXPECT_EQ(Writes(), atOpen + 1);
    comm.SetBaudrate(br19200);
    EXPECT_EQ(Writes(), atOpen + 2);
    std::lock_guard lock(comm.port->mutex);
    EXPECT_EQ(comm.port->lineSettings.back().BaudRate, 19200u);
    EXPECT_EQ(comm.port->lineSettings.back().Flags & (fOutX | fInX), fOutX | fInX);
}

TEST_F(SettingsTest, RejectedBlockKeepsTheValueAndReportsTheCode) {
    comm.Open();
    {
        std::lock_guard lock(comm.port->mutex);
        comm.port->lineSettingsError = kCallFailedCode;
    }
    try {
        comm.SetBaudrate(br110);
        FAIL() << "not raised";
    } catch (const EVaCommError& e) {
        EXPECT_EQ(std::string(e.what()), "Error writing dcb (" + std::to_string(kCallFailedCode) +
                                             "), " + VaSystemErrorText(kCallFailedCode));
    }
    EXPECT_EQ(comm.Baudrate(), br110);
    EXPECT_TRUE(comm.IsOpen());
}

TEST_F(SettingsTest, UpdateDcbOffNeverWrites) {
    comm.SetUpdateDCB(false);
    comm.Open();
    comm.SetBaudrate(br57600);
    EXPECT_EQ(Writes(), 0u);
}

TEST(MessageTest, TemplatesAreFilledSafely) {
    EXPECT_EQ(VaErrorMessage("Read error (%d), %s", 5), "Read error (5), " + VaSystemErrorText(5));
    EXPECT_EQ(VaErrorMessage(kRefused, 0), kRefused);
    // A device name holding '%' is not taken for a place-holder of the code or text.
    EXPECT_EQ(VaFillText("Can't open specified device %s", "/tmp/a%s%d") +
                  VaErrorMessage(" (Error %d, %s)", 16),
              "Can't open specified device /tmp/a%s%d (Error 16, " + VaSystemErrorText(16) + ")");
    EXPECT_EQ(VaFormatDeviceName("port%s%d%%", 7), "port%s7%");
    const std::string text = VaSystemErrorText(2);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find_last_not_of(". \r\n"), text.size() - 1) << "not trimmed: " << text;
}
