// SPDX-License-Identifier: MIT
#pragma once
// Value types of the serial-port component: the enumerations its properties take, the event and
// line-error bits it reports, and the device control block it builds from its settings.
#include <cstdint>
#include <initializer_list>

enum TVaBaudrate : std::uint8_t {
    brUser,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum TVaParity : std::uint8_t { paNone, paOdd, paEven, paMark, paSpace };
enum TVaDatabits : std::uint8_t { db4, db5, db6, db7, db8 };
enum TVaStopbits : std::uint8_t { sb1, sb15, sb2 };
enum TVaControlDtr : std::uint8_t { dtrDisabled, dtrEnabled, dtrHandshake };
enum TVaControlRts : std::uint8_t { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };
enum TVaCommOption : std::uint8_t { coErrorChar, coNullStrip, coParityCheck };
enum TVaCommEvent : std::uint8_t {
    ceBreak,
    ceCts,
    ceDsr,
    ceError,
    ceRing,
    ceRlsd,
    ceRxChar,
    ceTxEmpty,
    ceRxFlag,
    cePErr,
    ceRx80Full,
    ceEvent1,
    ceEvent2
};
// What came of asking the driver for low latency when the port opened (a USB adapter then hands
// on received bytes at once instead of after its latency timer): on, not supported by the port
// (nothing to ask: a pseudo-terminal, a driver without the setting), refused by the driver, or
// not applicable on this system (where the adapter's driver settings hold it).
enum TVaLowLatency : std::uint8_t { llNotApplicable, llUnsupported, llRefused, llOn };
enum TThreadPriority : std::uint8_t {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

// A small set over an enumeration, one bit per ordinal, as wide as the set's storage.
template <typename E, typename Bits>
class TVaSet {
public:
    constexpr TVaSet() = default;
    constexpr TVaSet(std::initializer_list<E> items) {
        for (E e : items)
            Include(e);
    }
    constexpr bool Contains(E e) const { return (bits_ >> unsigned(e)) & 1u; }
    constexpr void Include(E e) { bits_ = Bits(bits_ | Bits(1u << unsigned(e))); }
    constexpr void Exclude(E e) { bits_ = Bits(bits_ & Bits(~(1u << unsigned(e)))); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr Bits Raw() const { return bits_; }
    constexpr bool operator==(const TVaSet&) const = default;

private:
    Bits bits_ = 0;
};
using TVaCommEvents = TVaSet<TVaCommEvent, std::uint16_t>;
using TVaCommOptions = TVaSet<TVaCommOption, std::uint8_t>;

// windows.h gives the driver's bits and values below as macros of the same names and values;
// the constants here stand in their place, whichever header comes first.
#if defined(_WIN32)
#undef EV_RXCHAR
#undef EV_RXFLAG
#undef EV_TXEMPTY
#undef EV_CTS
#undef EV_DSR
#undef EV_RLSD
#undef EV_BREAK
#undef EV_ERR
#undef EV_RING
#undef EV_PERR
#undef EV_RX80FULL
#undef EV_EVENT1
#undef EV_EVENT2
#undef CE_RXOVER
#undef CE_OVERRUN
#undef CE_RXPARITY
#undef CE_FRAME
#undef CE_BREAK
#undef NOPARITY
#undef ODDPARITY
#undef EVENPARITY
#undef MARKPARITY
#undef SPACEPARITY
#undef ONESTOPBIT
#undef ONE5STOPBITS
#undef TWOSTOPBITS
#endif

// Event-mask bits, as the driver reports them and as the component hands them to HandleEvents.
constexpr std::uint32_t EV_RXCHAR = 0x0001;
constexpr std::uint32_t EV_RXFLAG = 0x0002;
constexpr std::uint32_t EV_TXEMPTY = 0x0004;
constexpr std::uint32_t EV_CTS = 0x0008;
constexpr std::uint32_t EV_DSR = 0x0010;
constexpr std::uint32_t EV_RLSD = 0x0020;
constexpr std::uint32_t EV_BREAK = 0x0040;
constexpr std::uint32_t EV_ERR = 0x0080;
constexpr std::uint32_t EV_RING = 0x0100;
constexpr std::uint32_t EV_PERR = 0x0200;
constexpr std::uint32_t EV_RX80FULL = 0x0400;
constexpr std::uint32_t EV_EVENT1 = 0x0800;
constexpr std::uint32_t EV_EVENT2 = 0x1000;
// Not a driver event: the watch's own report that the device has gone. It is handed over
// whatever the mask, and never set in one.
constexpr std::uint32_t EV_DEVICEGONE = 0x80000000;

// The mask bit of each event, indexed by its ordinal.
constexpr std::uint32_t kVaEventMaskBits[] = {
    EV_BREAK,   EV_CTS,    EV_DSR,  EV_ERR,      EV_RING,   EV_RLSD,  EV_RXCHAR,
    EV_TXEMPTY, EV_RXFLAG, EV_PERR, EV_RX80FULL, EV_EVENT1, EV_EVENT2};

constexpr std::uint32_t VaEventMask(TVaCommEvents events) {
    std::uint32_t mask = 0;
    for (unsigned i = 0; i < sizeof kVaEventMaskBits / sizeof kVaEventMaskBits[0]; ++i)
        if (events.Contains(TVaCommEvent(i))) mask |= kVaEventMaskBits[i];
    return mask;
}

// Line-error bits of the status block.
constexpr std::uint32_t CE_RXOVER = 0x0001;
constexpr std::uint32_t CE_OVERRUN = 0x0002;
constexpr std::uint32_t CE_RXPARITY = 0x0004;
constexpr std::uint32_t CE_FRAME = 0x0008;
constexpr std::uint32_t CE_BREAK = 0x0010;

// What ReadStatus reports; the error flags are those seen since the previous ReadStatus.
struct TVaCommStatus {
    std::uint32_t Errors = 0;
    std::uint32_t Flags = 0;
    std::uint32_t InQueue = 0;
    std::uint32_t OutQueue = 0;
    bool operator==(const TVaCommStatus&) const = default;
};

// Bits of the device control block's flag word.
constexpr std::uint32_t fBinary = 0x0001;
constexpr std::uint32_t fParity = 0x0002;
constexpr std::uint32_t fOutxCtsFlow = 0x0004;
constexpr std::uint32_t fOutxDsrFlow = 0x0008;
constexpr std::uint32_t fDtrControlEnable = 0x0010;
constexpr std::uint32_t fDtrControlHandshake = 0x0020;
constexpr std::uint32_t fDtrControlMask = 0x0030;
constexpr std::uint32_t fDsrSensitivity = 0x0040;
constexpr std::uint32_t fTXContinueOnXoff = 0x0080;
constexpr std::uint32_t fOutX = 0x0100;
constexpr std::uint32_t fInX = 0x0200;
constexpr std::uint32_t fErrorChar = 0x0400;
constexpr std::uint32_t fNull = 0x0800;
constexpr std::uint32_t fRtsControlEnable = 0x1000;
constexpr std::uint32_t fRtsControlHandshake = 0x2000;
constexpr std::uint32_t fRtsControlToggle = 0x3000;
constexpr std::uint32_t fRtsControlMask = 0x3000;
constexpr std::uint32_t fAbortOnError = 0x4000;

// The device control block: every line setting in one plain record, built afresh from the
// component's settings each time it is written.
struct TVaDcb {
    std::uint32_t DCBlength = 28;
    std::uint32_t BaudRate = 0;
    std::uint32_t Flags = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    bool operator==(const TVaDcb&) const = default;
};

// Parity and stop-bit values of the block.
constexpr std::uint8_t NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4;
constexpr std::uint8_t ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2;
