// SPDX-License-Identifier: MIT
// make demo-web: the page served on 127.0.0.1 flashes an update file into bk-sim through headless
// Chromium (the Web Serial double over the bridge), and one line says what the image holds.
//   node demo.mjs SITE FIRMWARE
import { execFileSync } from "node:child_process";
import path from "node:path";

import { clickStart, launchBrowser, openPage, pickFiles, startSimulator, until } from "./browser.mjs";
import { startServer } from "./server.mjs";

const [site, firmware] = process.argv.slice(2);
const server = await startServer(site);
const browser = await launchBrowser();
const sim = await startSimulator();
let status = 0;
try {
    const page = await openPage(browser, server, { ports: [sim.port] });
    await pickFiles(page, [firmware]);
    const began = performance.now();
    await clickStart(page);
    await until(page, () => window.tevrPage.boxes.length > 0, 120000);
    const seconds = (performance.now() - began) / 1000;
    if ((await sim.ended) !== 0) throw new Error("bk-sim did not see the end command");
    const verdict = execFileSync(process.env.TEVR_FLASH, ["verify", firmware, sim.image],
                                 { encoding: "utf8" }).trim();
    console.log(`demo-web: ${path.basename(firmware)} flashed from the page into bk-sim in ` +
                `${seconds.toFixed(3)} s (${page.boxes.join("; ")}); ${verdict}`);
} catch (error) {
    console.error(`demo-web: ${error.message}`);
    status = 1;
} finally {
    await sim.stop();
    await browser.close();
    await server.close();
}
process.exit(status);
