// SPDX-License-Identifier: MIT
// A Web Serial double for the page's tests, put in before the page's own scripts: navigator.serial
// with the interface the page uses (getPorts, requestPort, the ports' getInfo, open, readable,
// writable, setSignals, close and the disconnect event), each port's bytes carried over a
// WebSocket to the harness's bridge on a simulator's line. Its settings come as
// window.tevrSerialDouble = {url, ports: [{link, usbVendorId, usbProductId}], granted: n}.
(() => {
    const settings = window.tevrSerialDouble;
    if (!settings) return;
    const serial = new EventTarget();
    const opened = (window.tevrSerialOpened = []);
    // When the first byte came from a device and the last write left, for the benchmark.
    const times = (window.tevrSerialTimes = {});

    class DoublePort extends EventTarget {
        constructor(described) {
            super();
            this.described = described;
            this.socket = null;
            this.readable = null;
            this.writable = null;
        }
        getInfo() {
            return { usbVendorId: this.described.usbVendorId, usbProductId: this.described.usbProductId };
        }
        async open(options) {
            if (this.socket) throw new DOMException("The port is already open.", "InvalidStateError");
            opened.push(options);
            const socket = new WebSocket(settings.url + "?link=" + encodeURIComponent(this.described.link));
            socket.binaryType = "arraybuffer";
            await new Promise((resolve, reject) => {
                socket.onopen = resolve;
                socket.onerror = () =>
                    reject(new DOMException("Failed to open serial port.", "NetworkError"));
            });
            this.socket = socket;
            let source;
            this.readable = new ReadableStream({ start: (controller) => { source = controller; } });
            this.writable = new WritableStream({
                write: (chunk) => {
                    if (socket.readyState !== WebSocket.OPEN)
                        throw new DOMException("The device has been lost.", "NetworkError");
                    socket.send(chunk);
                    times.lastWrite = performance.now();
                },
            });
            socket.onmessage = (event) => {
                times.firstByte ??= performance.now();
                source.enqueue(new Uint8Array(event.data));
            };
            socket.onclose = () => {
                if (this.socket !== socket) return;
                // The adapter pulled out: the reader fails, then the port and the serial object
                // hear of it.
                this.socket = null;
                this.readable = null;
                this.writable = null;
                try {
                    source.error(new DOMException("The device has been lost.", "NetworkError"));
                } catch (error) {
                    // Cancelled already.
                }
                const event = new Event("disconnect");
                Object.defineProperty(event, "target", { value: this });
                this.dispatchEvent(new Event("disconnect"));
                serial.dispatchEvent(event);
            };
        }
        async setSignals(signals) {
            this.signals = { ...this.signals, ...signals };
        }
        async close() {
            const socket = this.socket;
            this.socket = null;
            this.readable = null;
            this.writable = null;
            if (socket) socket.close();
        }
    }

    const ports = settings.ports.map((described) => new DoublePort(described));
    let granted = settings.granted ?? ports.length;
    serial.getPorts = async () => ports.slice(0, granted);
    serial.requestPort = async () => {
        if (granted >= ports.length) throw new DOMException("No port selected by the user.", "NotFoundError");
        return ports[granted++];
    };
    Object.defineProperty(Navigator.prototype, "serial", { get: () => serial, configurable: true });
})();
