// SPDX-License-Identifier: MIT
// make bench-web: 8 KiB into a paced bk-sim through the page and the Web Serial double; prints the
// time over the line's own time ("ratio X", the WebSocket hop included), the page's load to its
// first paint, and the size of the page's folder.
//   node bench.mjs SITE
import fs from "node:fs";
import os from "node:os";
import path from "node:path";

import { clickStart, launchBrowser, openPage, pickFiles, startSimulator } from "./browser.mjs";
import { startServer } from "./server.mjs";

const site = process.argv[2];
// 8 KiB in 16-byte records: 64 blocks on 16 pages.
const folder = fs.mkdtempSync(path.join(os.tmpdir(), "tevr-bench-web-"));
const firmware = path.join(folder, "image-8k.hex");
const lines = [];
for (let address = 0; address < 8192; address += 16) {
    const data = Array.from({ length: 16 }, (_, i) => (address + i * 7) & 0xFF);
    const record = [16, address >> 8, address & 0xFF, 0, ...data];
    const sum = (0x100 - (record.reduce((a, b) => a + b, 0) & 0xFF)) & 0xFF;
    lines.push(":" + [...record, sum].map((b) => b.toString(16).padStart(2, "0")).join("").toUpperCase());
}
lines.push(":00000001FF");
fs.writeFileSync(firmware, lines.join("\n") + "\n");

// What the transfer puts on the line at 10400 bit/s, 10 bits a byte: the greeting's answer, one
// page command (3 bytes, answered) per 512 bytes, a block command (131 bytes, its checksum back)
// per 128, the end command; the device's greetings and answers after the tool's bytes.
const pages = 16, blocks = 64;
const toolBytes = 3 + pages * 3 + blocks * 131 + 3, answers = 1 + pages + blocks;
const wireSeconds = (toolBytes + answers) * 10 / 10400;

const server = await startServer(site);
const browser = await launchBrowser({ oneProcess: true });
const sim = await startSimulator(["--pace"]);
try {
    const page = await openPage(browser, server, { ports: [sim.port] });
    const firstPaint = await page.evaluate(() => window.tevrPage.firstPaint);
    await pickFiles(page, [firmware]);
    // The box's own event, not the page asked every few milliseconds while the line runs.
    const box = new Promise((resolve) => page.once("dialog", resolve));
    await clickStart(page);
    await Promise.race([box, new Promise((_, reject) => setTimeout(
        () => reject(new Error("no box within two minutes")), 120000).unref())]);
    // From the device's first greeting to the end command, as the line's time counts (and as
    // bench_transfer times tevr-flash): the wait for a greeting is the device's, not the page's.
    const times = await page.evaluate(() => window.tevrSerialTimes);
    const seconds = (times.lastWrite - times.firstByte) / 1000;
    const bytes = fs.readdirSync(site).reduce((n, f) => n + fs.statSync(path.join(site, f)).size, 0);
    console.log(`bench-web: 8 KiB through the page in ${seconds.toFixed(3)} s, the line's own ` +
                `${wireSeconds.toFixed(3)} s`);
    console.log(`ratio ${(seconds / wireSeconds).toFixed(3)}`);
    console.log(`load to first paint ${firstPaint.toFixed(0)} ms`);
    console.log(`bundle ${(bytes / 1048576).toFixed(2)} MiB (${bytes} bytes)`);
} finally {
    await sim.stop();
    await browser.close();
    await server.close();
    fs.rmSync(folder, { recursive: true, force: true });
}
