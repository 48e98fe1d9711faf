// SPDX-License-Identifier: MIT
// The page's tests' server on 127.0.0.1: the page's folder as a static web server would serve
// it, files a test adds beside it (trusted keys, releases, update files), and the Web Serial
// double's bridge: a WebSocket per opened port, joined to a simulator's line (its pseudo-terminal,
// in raw mode).
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import tty from "node:tty";
import { WebSocketServer } from "ws";

const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".css": "text/css",
                ".wasm": "application/wasm", ".json": "application/json" };

export async function startServer(site) {
    const extra = new Map();  // name -> Buffer, served beside the page
    const bridges = new Set();
    let offline = false;
    const server = http.createServer((request, response) => {
        // Out of reach: the request fails as a network error does, the bridges stay.
        if (offline) {
            request.socket.destroy();
            return;
        }
        const name = decodeURIComponent(new URL(request.url, "http://page").pathname).slice(1) ||
                     "index.html";
        let body = extra.get(name);
        if (body === undefined && !name.includes("..")) {
            try {
                body = fs.readFileSync(path.join(site, name));
            } catch (error) {
                body = undefined;
            }
        }
        if (body === undefined) {
            response.writeHead(404).end();
            return;
        }
        response.writeHead(200, { "Content-Type": types[path.extname(name)] || "application/octet-stream",
                                  "Cache-Control": "no-store" });
        response.end(body);
    });
    const sockets = new WebSocketServer({ server, path: "/serial" });
    sockets.on("connection", (socket, request) => {
        const link = new URL(request.url, "http://page").searchParams.get("link");
        let input, output;
        try {
            input = new tty.ReadStream(fs.openSync(link, fs.constants.O_RDWR | fs.constants.O_NOCTTY));
            input.setRawMode(true);
            output = fs.openSync(link, fs.constants.O_WRONLY | fs.constants.O_NOCTTY);
        } catch (error) {
            socket.close();
            return;
        }
        const bridge = { socket, closed: false };
        const end = () => {
            if (bridge.closed) return;
            bridge.closed = true;
            bridges.delete(bridge);
            input.destroy();
            fs.closeSync(output);
            socket.close();
        };
        bridge.end = end;
        bridges.add(bridge);
        input.on("data", (bytes) => socket.send(bytes));
        input.on("error", end);
        input.on("end", end);
        socket.on("message", (bytes) => {
            if (!bridge.closed) fs.writeSync(output, bytes);
        });
        socket.on("close", end);
    });
    await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
    const { port } = server.address();
    return {
        url: `http://127.0.0.1:${port}/`,
        socketUrl: `ws://127.0.0.1:${port}/serial`,
        // Serves `bytes` as `name` beside the page; null takes it away.
        put(name, bytes) {
            if (bytes === null) extra.delete(name);
            else extra.set(name, Buffer.from(bytes));
        },
        // The page's server out of reach for the page's requests (the double's lines stay).
        setOffline(value) {
            offline = value;
        },
        // Every adapter pulled out at once.
        dropLines() {
            for (const bridge of [...bridges]) bridge.end();
        },
        close: () => new Promise((resolve) => {
            for (const bridge of [...bridges]) bridge.end();
            sockets.close();
            server.close(resolve);
        }),
    };
}
