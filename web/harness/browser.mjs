// SPDX-License-Identifier: MIT
// Debian's Chromium, headless, driven over the DevTools protocol with puppeteer-core, with the
// page opened behind the Web Serial double; and the simulator on a line the double reaches.
import { spawn } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import puppeteer from "puppeteer-core";

const here = path.dirname(fileURLToPath(import.meta.url));
const doubleSource = fs.readFileSync(path.join(here, "serial-double.js"), "utf8");

// The harness follows no request and no issue of the page: with the network's events on, every
// WebSocket frame of the double is reported over the DevTools protocol as well, which more than
// doubles the time a frame takes to reach the page and its answer to leave. `oneProcess` runs the
// browser's services as threads of one process (the benchmark: the double's hop then costs what
// a WebSocket between two processes costs, not the renderer's and network service's as well).
export async function launchBrowser({ oneProcess = false } = {}) {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), "tevr-chromium-"));
    const browser = await puppeteer.launch({
        executablePath: process.env.TEVR_CHROMIUM || "/usr/bin/chromium",
        headless: true,
        networkEnabled: false,
        issuesEnabled: false,
        args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               `--user-data-dir=${profile}`, ...(oneProcess ? ["--single-process"] : [])],
    });
    const close = browser.close.bind(browser);
    browser.close = async () => {
        await close();
        fs.rmSync(profile, { recursive: true, force: true });
    };
    return browser;
}

// The page at `url`, in `language`, with the double's `ports` ({link, usbVendorId,
// usbProductId}; none: the browser has no Web Serial). Every box is recorded and dismissed.
export async function openPage(browser, server, { ports = [], granted, language = "en" } = {}) {
    const page = await browser.newPage();
    page.boxes = [];
    page.on("dialog", async (dialog) => {
        page.boxes.push(dialog.message());
        await dialog.accept();
    });
    await page.evaluateOnNewDocument((languages) => {
        Object.defineProperty(Navigator.prototype, "languages", { get: () => languages });
    }, [language]);
    // The DevTools protocol answers the file input's chooser, not the File System Access one.
    await page.evaluateOnNewDocument(() => { delete window.showOpenFilePicker; });
    if (ports) {
        await page.evaluateOnNewDocument((settings) => { window.tevrSerialDouble = settings; },
                                         { url: server.socketUrl, ports, granted });
        await page.evaluateOnNewDocument(doubleSource);
    } else {
        await page.evaluateOnNewDocument(() => { delete Navigator.prototype.serial; });
    }
    await page.goto(server.url, { waitUntil: "load" });
    await page.waitForSelector("body[data-ready='1']", { timeout: 20000 });
    return page;
}

// Waits until `predicate` (run in the page) holds.
export function until(page, predicate, timeout = 30000, ...args) {
    return page.waitForFunction(predicate, { timeout, polling: 20 }, ...args);
}

// The page's start button as the user presses it.
export async function clickStart(page) {
    const box = await (await page.$("#AbColBitBtn1")).boundingBox();
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
}

// Puts `name` into the file field as typed or picked from the releases.
export async function typeFile(page, name) {
    await page.$eval("#Edit1", (edit, value) => {
        edit.value = value;
        edit.dispatchEvent(new Event("input"));
    }, name);
}

// Picks update files through "..." (the browser's file chooser answered with `files`).
export async function pickFiles(page, files) {
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click("#SpeedButton1")]);
    await chooser.accept(files);
}

// bk-sim on a link in a folder of its own, its image saved there; `options` are its switches.
export async function startSimulator(options = []) {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), "tevr-web-sim-"));
    const link = path.join(folder, "line"), image = path.join(folder, "image");
    const sim = spawn(process.env.TEVR_BK_SIM, ["--link", link, "--image", image, "--quiet", ...options],
                      { stdio: ["ignore", "ignore", "inherit"] });
    const ended = new Promise((resolve) => sim.on("exit", (code) => resolve(code)));
    for (let i = 0; i < 200 && !fs.existsSync(link); ++i) await new Promise((r) => setTimeout(r, 25));
    if (!fs.existsSync(link)) throw new Error("bk-sim made no link");
    return {
        link, image, ended,
        port: { link, usbVendorId: 0x0403, usbProductId: 0x6001 },
        async stop() {
            sim.kill();
            await ended;
            fs.rmSync(folder, { recursive: true, force: true });
        },
    };
}
