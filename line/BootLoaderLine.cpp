// SPDX-License-Identifier: MIT
#include "line/BootLoaderLine.h"

#include "serial/VaComm.h"

namespace {
constexpr int kLineRate = 10400;
constexpr int kReadTimeoutMs = 500;
}  // namespace

void ConfigureBootLoaderLine(TVaCustomComm& comm) {
    comm.SetBaudrate(brUser);
    comm.SetUserBaudrate(kLineRate);
    comm.SetParity(paNone);
    comm.SetDatabits(db8);
    comm.SetStopbits(sb1);
    TVaFlowControl& flow = comm.FlowControl();
    flow.SetOutCtsFlow(false);
    flow.SetOutDsrFlow(false);
    flow.SetXonXoffOut(false);
    flow.SetXonXoffIn(false);
    flow.SetDsrSensitivity(false);
    flow.SetTxContinueOnXoff(false);
    flow.SetControlDtr(dtrDisabled);
    flow.SetControlRts(rtsDisabled);
    comm.Buffers().SetReadTimeout(kReadTimeoutMs);
}
