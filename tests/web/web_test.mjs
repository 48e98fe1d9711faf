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
            await page.screenshot({ path: path.join(process.env.TEVR_SCREENSHOTS || work, "tevr-loader-page.png") });
        } finally {
            await page.close();
            await sim.stop();
        }
    });
});
