// SPDX-License-Identifier: MIT
// The page in headless Chromium, everything above the Web Serial double real: updates into bk-sim
// by the user's route, the window's messages as the page's boxes, and the refusals before a port
// opens. TEVR_SITE names the page's folder, TEVR_BK_SIM and TEVR_FLASH the programs.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { after, before, describe, test } from "node:test";
import { fileURLToPath } from "node:url";

import { clickStart, launchBrowser, openPage, pickFiles, startSimulator, typeFile, until }
    from "../../web/harness/browser.mjs";
import { startServer } from "../../web/harness/server.mjs";

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../..");
const example = (name) => path.join(root, "examples", name);
const done = "The software update of the TEVR R7 is complete";
const idle = (page) => until(page, () => !window.tevrPage.module._PageTransferRunning() &&
                                          !window.tevrPage.module._PageStartButtonChecked());

let browser, server, work;
before(async () => {
    work = fs.mkdtempSync(path.join(os.tmpdir(), "tevr-web-test-"));
    server = await startServer(process.env.TEVR_SITE);
    browser = await launchBrowser();
});
after(async () => {
    await browser?.close();
    await server?.close();
    fs.rmSync(work, { recursive: true, force: true });
});

// The image holds every byte of the file.
function verified(file, image) {
    return execFileSync(process.env.TEVR_FLASH, ["verify", file, image], { encoding: "utf8" });
}

describe("an update by the user's route", () => {
    test("64 KiB land byte for byte; the window's words in Russian and its controls at rest",
         async () => {
        const sim = await startSimulator();
        const page = await openPage(browser, server, { ports: [sim.port], language: "ru-RU" });
        try {
            assert.equal(await page.title(), "Загрузчик ПО в ТЕВР-R7 (версия 1.0)");
            await pickFiles(page, [example("image-64k.hex")]);
            await clickStart(page);
            await until(page, () => window.tevrPage.boxes.length > 0, 60000);
            await idle(page);
            assert.deepEqual(page.boxes, ["Обновление ПО в Тевр R7 завершено"]);
            assert.deepEqual(await page.evaluate(() => window.tevrSerialOpened),
                             [{ baudRate: 10400, dataBits: 8, parity: "none", stopBits: 1,
                                flowControl: "none", bufferSize: 4096 }]);
            assert.equal(await sim.ended, 0);
            assert.match(verified(example("image-64k.hex"), sim.image), /65536/);
            await (await page.$("#Form1")).screenshot(
                { path: path.join(process.env.TEVR_SCREENSHOTS || work, "tevr-loader-page.png") });
        } finally {
            await page.close();
            await sim.stop();
        }
    });
});

describe("the file as it is at each start, and a browser without serial ports", () => {
    test("a file picked through its handle is read again when it is rebuilt on disk", async () => {
        const sim = await startSimulator(["--repeat"]);
        const page = await openPage(browser, server, { ports: [sim.port] });
        try {
            // The File System Access picker, answered with a handle to a file that changes.
            await page.evaluate(() => {
                window.tevrDisk = "";
                window.showOpenFilePicker = async () => [{
                    kind: "file", name: "fw.hex",
                    getFile: async () => new File([window.tevrDisk], "fw.hex"),
                }];
            });
            const build = (file) => page.evaluate((text) => { window.tevrDisk = text; },
                                                    fs.readFileSync(example(file), "latin1"));
            await build("gap.hex");
            await page.click("#SpeedButton1");
            await until(page, () => document.getElementById("Edit1").value === "fw.hex");
            for (const [board, file] of [[1, "gap.hex"], [2, "worked.hex"]]) {
                if (board > 1) await build(file);
                await clickStart(page);
                await until(page, (n) => window.tevrPage.boxes.length === n, 30000, board);
                await idle(page);
                verified(example(file), `${sim.image}.${board}`);
            }
            assert.deepEqual(page.boxes, [done, done]);
        } finally {
            await page.close();
            await sim.stop();
        }
    });
    test("without Web Serial the page says which browsers have it and shows a file's plan",
         async () => {
        const page = await openPage(browser, server, { ports: null });
        try {
            assert.match(await page.$eval("#Notice", (e) => (e.hidden ? "" : e.textContent)),
                         /Chrome, Edge, Opera/);
            await pickFiles(page, [example("image-64k.hex")]);
            await until(page, () => !document.getElementById("Plan").hidden);
            const plan = await page.$eval("#Plan", (e) => e.textContent);
            assert.match(plan, /128 page commands/);
            assert.match(plan, /512 block commands/);
            assert.deepEqual(page.boxes, []);
        } finally {
            await page.close();
        }
    });
});

// worked.hex as NAME.hex in the work folder, signed with a key made for it (NAME.pub, NAME.key)
// as the release `text`.
function signedRelease(name, text) {
    const key = path.join(work, name), signed = key + ".hex";
    execFileSync("minisign", ["-G", "-W", "-p", key + ".pub", "-s", key + ".key"]);
    fs.copyFileSync(example("worked.hex"), signed);
    execFileSync("minisign", ["-S", "-s", key + ".key", "-m", signed, "-t", text]);
    return { key, signed };
}

// What the controls drew piece by piece (the LED put out, the button let go) shows as their
// whole surfaces shown anew.
async function assertDrawnWhole(page) {
    const shown = () => page.$$eval("canvas", (all) => all.map((c) => Array.from(
        c.getContext("2d").getImageData(0, 0, c.width, c.height).data).join()));
    const pieces = await shown();
    await page.evaluate(() => window.tevrPage.module._PagePaint());
    assert.ok((await shown()).every((whole, i) => whole === pieces[i]));
}

// One board through the page with bk-sim's `options`; `act` does what the test does meanwhile.
async function flash(options, file, act = async () => {}) {
    const sim = await startSimulator(options);
    const page = await openPage(browser, server, { ports: [sim.port] });
    try {
        await pickFiles(page, [file]);
        await clickStart(page);
        await act(page, sim);
        await idle(page);
        await assertDrawnWhole(page);
        return { boxes: page.boxes, opened: await page.evaluate(() => window.tevrSerialOpened.length) };
    } finally {
        await page.close();
        await sim.stop();
    }
}

describe("the transfer's troubles end as in the window", () => {
    test("a wrong checksum is told once and the update goes on to its end", async () => {
        const { boxes } = await flash(["--bad-checksum", "2"], example("worked.hex"), (page) =>
            until(page, () => window.tevrPage.boxes.length >= 2, 30000));
        assert.deepEqual(boxes, ["Error: wrong checksum", done]);
    });
    test("the adapter pulled out ends the transfer at rest with one message", async () => {
        const { boxes } = await flash(["--pace"], example("image-64k.hex"), async (page) => {
            await until(page, () => window.tevrPage.module._PageTransferRunning() === 1);
            await new Promise((resolve) => setTimeout(resolve, 500));
            server.dropLines();
            await until(page, () => window.tevrPage.boxes.length > 0);
        });
        assert.equal(boxes.length, 1);
        assert.match(boxes[0], /connection to the on-board computer is lost/);
    });
    test("the start button switched off in the middle, and a stalled device, leave no message",
         async () => {
        // At the line's own pace, so that the transfer is still under way when it is stopped.
        for (const options of [["--pace"], ["--pace", "--silent-after", "3"]]) {
            const { boxes } = await flash(options, example("image-64k.hex"), async (page) => {
                await until(page, () => window.tevrPage.module._PageTransferRunning() === 1);
                await new Promise((resolve) => setTimeout(resolve, 1500));
                await clickStart(page);
            });
            assert.deepEqual(boxes, [], options.join(" "));
        }
    });
});

describe("refused before the port opens", () => {
    test("a file that is not Intel HEX, and an altered signed release", async () => {
        const elf = path.join(work, "firmware.hex");
        fs.writeFileSync(elf, Buffer.from([0x7f, 0x45, 0x4c, 0x46, 2, 1, 1, 0, 0, 0]));
        // Told when it is picked, and again at the start, which opens no port.
        const result = await flash([], elf);
        assert.equal(result.boxes.length, 2);
        assert.match(result.boxes[1], /ELF/);
        assert.equal(result.opened, 0);

        const { key, signed } = signedRelease("signed", "TEVR-R7 2.3.1");
        fs.appendFileSync(signed, ":00000001FF\n");
        server.put("trusted-keys", fs.readFileSync(key + ".pub"));
        try {
            const sim = await startSimulator();
            const page = await openPage(browser, server, { ports: [sim.port] });
            try {
                await pickFiles(page, [signed, signed + ".minisig"]);
                await until(page, () => window.tevrPage.boxes.length > 0);
                await clickStart(page);
                await until(page, () => window.tevrPage.boxes.length > 1);
                await idle(page);
                assert.match(page.boxes[1], /signed.hex.minisig does not match the update file/);
                assert.equal(await page.evaluate(() => window.tevrSerialOpened.length), 0);
            } finally {
                await page.close();
                await sim.stop();
            }
        } finally {
            server.put("trusted-keys", null);
        }
    });
});

test("taken off the network once loaded, the page checks a signed file with the keys it read",
     async () => {
    const { key, signed } = signedRelease("offline", "TEVR-R7 2.3.2");
    server.put("trusted-keys", fs.readFileSync(key + ".pub"));
    const sim = await startSimulator();
    const page = await openPage(browser, server, { ports: [sim.port] });
    try {
        server.setOffline(true);
        await pickFiles(page, [signed, signed + ".minisig"]);
        await clickStart(page);
        await until(page, (text) => window.tevrPage.boxes.some((box) => box.text === text), 30000,
                    done);
        assert.deepEqual(await page.evaluate(() => window.tevrPage.boxes.filter((b) => b.error)), []);
        verified(example("worked.hex"), sim.image);
    } finally {
        server.setOffline(false);
        server.put("trusted-keys", null);
        await page.close();
        await sim.stop();
    }
});

test("a release picked from the manifest beside the page is flashed", async () => {
    server.put("releases.json", JSON.stringify({ releases: [
        { text: "TEVR-R7 1.0", file: "old.hex", published: "2024-01-01" },
        { text: "TEVR-R7 2.0", file: "new.hex", published: "2025-01-01" },
    ] }));
    server.put("new.hex", fs.readFileSync(example("gap.hex")));
    const sim = await startSimulator();
    const page = await openPage(browser, server, { ports: [sim.port] });
    try {
        assert.deepEqual(await page.$$eval("#Releases option", (o) => o.map((e) => e.value)),
                         ["new.hex", "old.hex"]);
        await typeFile(page, "new.hex");
        await clickStart(page);
        await until(page, () => window.tevrPage.boxes.length > 0);
        assert.deepEqual(page.boxes, [done]);
        assert.equal(await sim.ended, 0);
        verified(example("gap.hex"), sim.image);
    } finally {
        await page.close();
        await sim.stop();
        server.put("releases.json", null);
        server.put("new.hex", null);
    }
});
