// SPDX-License-Identifier: MIT
// The page's serial ports through the browser's Web Serial: the ports this page was granted, one
// more asked for through the browser's chooser, and the one port the module uses. A port is
// opened here, with the boot loader's line settings, before a start reaches the module (opening
// ends only later); the module then claims it, reads what it received, writes through its writer
// and hears when the writes have left, when it failed and when it went away.
"use strict";

class PageSerial {
    // The boot loader's line: 10400 bit/s, 8 data bits, no parity, 1 stop bit, no flow control.
    static lineSettings = {
        baudRate: 10400, dataBits: 8, parity: "none", stopBits: 1, flowControl: "none",
        bufferSize: 4096,
    };
    // Why a port did not open, as the module numbers it (TWebPortRefusal).
    static refusal = { none: 0, notOpened: 1, notFound: 2, busy: 3, denied: 4, other: 5 };

    constructor(module) {
        this.module = module;
        this.entries = [];      // {name, port}
        this.opened = null;     // {name, port, reader, writer, claimed, early, generation, ...}
        this.openFailure = null; // {name, code}
        this.generation = 0;
        navigator.serial.addEventListener("disconnect", (event) => this.gone(event.target));
    }

    // The ports granted to the page, named by what the browser tells of them.
    async list() {
        const ports = await navigator.serial.getPorts();
        const seen = new Map();
        this.entries = ports.map((port) => {
            const info = port.getInfo ? port.getInfo() : {};
            const vendor = info.usbVendorId ?? -1, product = info.usbProductId ?? -1;
            const kind = vendor + ":" + product;
            seen.set(kind, (seen.get(kind) || 0) + 1);
            const name = this.module.UTF8ToString(this.module._PagePortName(vendor, product, seen.get(kind)));
            return { name, port };
        });
        return this.entries.map((entry) => entry.name);
    }

    // The browser's chooser; the name of the port granted, or null.
    async request() {
        let port;
        try {
            port = await navigator.serial.requestPort();
        } catch (error) {
            return null;
        }
        await this.list();
        const entry = this.entries.find((e) => e.port === port);
        return entry ? entry.name : null;
    }

    // Opens the port `name` for the start that follows; what went wrong is kept for its claim.
    async open(name) {
        this.openFailure = null;
        const entry = this.entries.find((e) => e.name === name);
        if (!entry) {
            this.openFailure = { name, code: PageSerial.refusal.notFound };
            return;
        }
        try {
            await entry.port.open(PageSerial.lineSettings);
        } catch (error) {
            const codes = { NotFoundError: "notFound", InvalidStateError: "busy", NetworkError: "busy",
                            SecurityError: "denied", NotAllowedError: "denied" };
            this.openFailure = { name, code: PageSerial.refusal[codes[error.name] || "other"] };
            return;
        }
        const generation = ++this.generation;
        const opened = {
            name, port: entry.port, claimed: false, early: [], generation, closing: false,
            writer: entry.port.writable.getWriter(), reader: null, writes: Promise.resolve(),
        };
        this.opened = opened;
        this.readLoop(opened);
    }

    // The module's Open: 0 when the port opened for this start is `name`'s, else why not.
    claim(name) {
        const opened = this.opened;
        if (opened && !opened.claimed && !opened.closing && opened.name === name) {
            opened.claimed = true;
            // Bytes that came before the claim reach the module once its Open has returned.
            if (opened.early.length) {
                const early = opened.early;
                opened.early = [];
                setTimeout(() => early.forEach((bytes) => this.deliver(opened, bytes)), 0);
            }
            return PageSerial.refusal.none;
        }
        if (this.openFailure && this.openFailure.name === name) return this.openFailure.code;
        return PageSerial.refusal.notOpened;
    }

    // A port opened for a start that did not take it goes back.
    releaseUnclaimed() {
        if (this.opened && !this.opened.claimed) this.close();
    }

    setDtr(on) {
        const opened = this.opened;
        if (opened && !opened.closing && opened.port.setSignals)
            opened.port.setSignals({ dataTerminalReady: on }).catch(() => {});
    }

    write(bytes) {
        const opened = this.opened;
        if (!opened) return;
        // Handed to the writer now, not behind the previous write's promise: the stream keeps
        // the order itself, and the bytes leave while the module's handler still runs instead of
        // after everything else it does (a turn of the line waits for them).
        const leaving = opened.writer.write(bytes);
        // Its failure is heard in order below, after the writes before it.
        leaving.catch(() => {});
        opened.writes = opened.writes.then(() => leaving).then(
            () => this.module._PageWritten(),
            (error) => {
                this.module._PageWritten();
                this.failed(opened, 1, error);
            });
    }

    // Closes once every write handed over has left.
    close() {
        const opened = this.opened;
        if (!opened || opened.closing) return;
        opened.closing = true;
        opened.writes.then(async () => {
            try {
                opened.writer.releaseLock();
                if (opened.reader) await opened.reader.cancel();
                await opened.done;
                await opened.port.close();
            } catch (error) {
                // The port went away meanwhile: there is nothing left to close.
            }
            if (this.opened === opened) this.opened = null;
        });
    }

    async readLoop(opened) {
        let finish;
        opened.done = new Promise((resolve) => { finish = resolve; });
        try {
            while (opened.port.readable && !opened.closing) {
                opened.reader = opened.port.readable.getReader();
                try {
                    for (;;) {
                        const { value, done } = await opened.reader.read();
                        if (done) break;
                        if (value && value.length) this.deliver(opened, value);
                    }
                } catch (error) {
                    // A framing or parity error ends this reader, not the port; a lost device ends
                    // both, and its disconnect event says so.
                    if (!opened.closing && error.name !== "NetworkError") this.failed(opened, 0, error);
                } finally {
                    opened.reader.releaseLock();
                    opened.reader = null;
                }
            }
        } finally {
            finish();
        }
        if (!opened.closing && !opened.port.readable) this.gone(opened.port);
    }

    deliver(opened, bytes) {
        if (opened !== this.opened || opened.closing) return;
        if (!opened.claimed) {
            opened.early.push(bytes);
            return;
        }
        const module = this.module;
        const at = module._malloc(bytes.length);
        module.HEAPU8.set(bytes, at);
        try {
            module._PageReceived(at, bytes.length);
        } finally {
            module._free(at);
        }
    }

    failed(opened, writing, error) {
        if (opened !== this.opened || opened.closing || !opened.claimed) return;
        const text = String(error && error.message || error);
        const at = this.module._malloc(this.module.lengthBytesUTF8(text) + 1);
        this.module.stringToUTF8(text, at, this.module.lengthBytesUTF8(text) + 1);
        try {
            this.module._PagePortFailed(writing, at);
        } finally {
            this.module._free(at);
        }
    }

    gone(port) {
        const opened = this.opened;
        if (!opened || opened.port !== port || opened.goneTold) return;
        opened.goneTold = true;
        if (opened.claimed && !opened.closing) this.module._PageDeviceGone();
        this.close();
    }
}
