// SPDX-License-Identifier: MIT
#pragma once
// The line settings of the link to the on-board computer, shared by the window and the flasher:
// 10400 bit/s, 8 data bits, no parity, one stop bit, no flow control, DTR and RTS low, reads
// waiting at most 500 ms.
class TVaCustomComm;

void ConfigureBootLoaderLine(TVaCustomComm& comm);
