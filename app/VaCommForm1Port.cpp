// SPDX-License-Identifier: MIT
#include "app/VaCommForm1Port.h"

#include "app/Form1Logic.h"
#include "line/BootLoaderLine.h"

TVaCommForm1Port::TVaCommForm1Port(TVaComm& comm) : comm_(comm), port_(comm) {
    comm_.SetName("VaComm1");
    ConfigureBootLoaderLine(comm_);
    comm_.SetDeviceName("COM1");
}

void TVaCommForm1Port::SetEvents(TEvents events) {
    comm_.OnRxChar = [rx = std::move(events.RxChar)](TVaCustomComm&, int count) { rx(count); };
    comm_.OnException = std::move(events.Failed);
    comm_.OnDeviceGone = [gone = std::move(events.DeviceGone)](TVaCustomComm&) { gone(); };
    // The component's Close waits for its write thread, so Transmitted is known after every
    // handler and no event of its own is needed.
}

TForm1Logic::TForm1Logic(TForm1Desktop& desktop, TVaComm& comm)
    : TForm1Logic(desktop, std::make_unique<TVaCommForm1Port>(comm)) {}
