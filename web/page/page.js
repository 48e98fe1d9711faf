// SPDX-License-Identifier: MIT
// The window as a page: the module (the window's logic, its widgets and words) made, its elements
// laid out and worded, the page's events handed to it, and what it asks of the page done here:
// canvases shown, letters measured and drawn, boxes, Timer1 and the hand-over, and the serial
// port (serial.js) and files (files.js) it reads. A start of a transfer first reads the files as
// they are, checks them in the module and only then opens the port; the press that started it
// waits meanwhile, and reaches the start button afterwards.
"use strict";

(async function () {
    const $ = (id) => document.getElementById(id);
    const text = { Caption: 0, ApplicationTitle: 1, Label1: 2, SpeedButton1Hint: 3,
                   OpenDialog1Title: 4, OpenDialog1FilterName: 5, RequestPort: 6, NoSerial: 7,
                   NotSecure: 8, PlanTitle: 9 };
    const canvases = [$("AbLED1"), $("AbColBitBtn1"), $("ProgressBar1")];
    const startId = 1;
    const start = canvases[startId], edit = $("Edit1"), combo = $("ComboBox1");
    const speedButton1 = $("SpeedButton1");
    const language = (navigator.languages && navigator.languages[0]) || navigator.language || "";
    const russian = language.toLowerCase().startsWith("ru");
    const canFlash = window.isSecureContext && "serial" in navigator && navigator.serial !== null;
    const page = window.tevrPage = { firstPaint: null, boxes: [] };

    let module = null, serial = null, files = null;
    const paintDelay = 8;  // milliseconds
    let paintAsked = false, timer1 = null, timer1Due = 0, buttonsDown = 0;
    const paintNow = () => {
        if (!paintAsked) return;
        paintAsked = false;
        module._PagePaint();
    };
    const handOver = new MessageChannel();
    handOver.port1.onmessage = () => module._PageRunPosted();
    const measure = document.createElement("canvas").getContext("2d", { willReadFrequently: true });
    const letters = new OffscreenCanvas(64, 16).getContext("2d", { willReadFrequently: true });

    const hooks = {
        blit(control, pixels, width, height, left, top, right, bottom) {
            const canvas = canvases[control];
            const w = right - left, h = bottom - top;
            if (!canvas || w <= 0 || h <= 0) return;
            // The changed rectangle alone: a paint comes between two bytes of the line.
            const image = new ImageData(w, h);
            // 0x00BBGGRR is red first in memory already; only the alpha byte is missing. Signed
            // on both sides, so that the opaque pixel stays a small integer to the compiler.
            const rgba = new Int32Array(image.data.buffer);
            for (let y = 0; y < h; ++y) {
                const row = (top + y) * width + left;
                for (let x = 0; x < w; ++x) rgba[y * w + x] = pixels[row + x] | 0xFF000000;
            }
            canvas.getContext("2d").putImageData(image, left, top);
            if (page.firstPaint === null) page.firstPaint = performance.now();
        },
        paintLater() {
            if (paintAsked) return;
            paintAsked = true;
            // With a frame, once a frame: the line's bytes come a millisecond apart, and a paint
            // between two of them would hold back the answer to the second. And not at once: a
            // repaint is asked for as a command has just been written, and the browser's work
            // on a frame (the paint, the compositing after it) would hold back those bytes on
            // their way to the port. Past the answer to a page command (four bytes on the
            // line), the line is busy with the block command for a while.
            setTimeout(() => requestAnimationFrame(paintNow), paintDelay);
        },
        pointerDown: () => buttonsDown !== 0,
        textWidth(font, string) {
            measure.font = font;
            return Math.ceil(measure.measureText(string).width);
        },
        lineHeight(font) {
            measure.font = font;
            const m = measure.measureText("Ag");
            return Math.ceil(m.fontBoundingBoxAscent + m.fontBoundingBoxDescent);
        },
        textMask(font, string, mask, width, height) {
            // One canvas for every text, grown as needed: making a canvas and its context costs
            // more than drawing the letters.
            const canvas = letters.canvas;
            if (canvas.width < width || canvas.height < height) {
                canvas.width = Math.max(canvas.width, width);
                canvas.height = Math.max(canvas.height, height);
            }
            letters.clearRect(0, 0, width, height);
            letters.font = font;
            letters.fillStyle = "#fff";
            letters.textBaseline = "alphabetic";
            letters.fillText(string, 0, letters.measureText(string).fontBoundingBoxAscent);
            const data = letters.getImageData(0, 0, width, height).data;
            for (let i = 0; i < mask.length; ++i) mask[i] = data[i * 4 + 3];
        },
        box(error, string) {
            // The box stops the page's frames: what changed before it is drawn first.
            paintNow();
            page.boxes.push({ error, text: string });
            window.alert(string);
        },
        startTimer1(milliseconds) {
            // Asked after every handler, a byte's among them, mostly for later than the time
            // already set: that timer stays, and the logic, finding its time not yet come, asks
            // again when it runs.
            const due = performance.now() + milliseconds;
            if (timer1 !== null && timer1Due <= due) return;
            clearTimeout(timer1);
            timer1Due = due;
            timer1 = setTimeout(() => {
                timer1 = null;
                module._PageTimer1();
            }, milliseconds);
        },
        // A message, not a timer: the browser holds nested timers back 4 ms each, which the
        // line's every turn between an answer and the next command would wait.
        post: () => handOver.port2.postMessage(null),
        // Asked after every handler, a byte's among them: the element is touched only when it
        // changes.
        setSpeedButton1Enabled(enabled) {
            if (speedButton1.disabled === !enabled) return;
            speedButton1.disabled = !enabled;
        },
        setEdit1Hint(string) {
            edit.title = string;
        },
        serial: {
            claim: (name) => (serial ? serial.claim(name) : PageSerial.refusal.notOpened),
            setDtr: (on) => serial && serial.setDtr(on),
            write: (bytes) => serial && serial.write(bytes),
            close: () => serial && serial.close(),
        },
    };

    await sodium.ready;
    module = await TevrPage({ page: hooks });
    module._PageCreate(russian ? 1 : 0);
    const word = (which) => module.UTF8ToString(module._PageTextOf(which));
    const setEdit1 = (value) => module.ccall("PageSetEdit1", null, ["string"], [value]);
    const setComboBox1 = (value) => module.ccall("PageSetComboBox1", null, ["string"], [value]);
    page.module = module;

    // --- The window's elements, as its description has them --------------------------------
    document.documentElement.lang = russian ? "ru" : "en";
    document.title = word(text.Caption);
    $("Caption").textContent = document.title;
    $("Label1").textContent = word(text.Label1);
    speedButton1.title = word(text.SpeedButton1Hint);
    const layout = JSON.parse(module.UTF8ToString(module._PageLayout()));
    for (const [id, [left, top, width, height]] of Object.entries(layout)) {
        const element = id === "Form1" ? $("Client") : $(id);
        element.style.left = left + "px";
        element.style.top = top + "px";
        // The label sizes itself to its caption.
        element.style[id === "Label1" ? "minWidth" : "width"] = width + "px";
        element.style.height = height + "px";
        if (element instanceof HTMLCanvasElement) {
            element.width = width;
            element.height = height;
        }
    }
    $("Client").style.position = "relative";
    $("Form1").hidden = false;

    files = new PageFiles(module);
    // Read once now, so that a page loaded and then taken off the network knows them.
    await files.refreshKeys();
    const planShown = $("Plan");
    async function showPlan() {
        await files.refresh(edit.value);
        planShown.textContent = module.UTF8ToString(module._PagePlan());
        planShown.hidden = false;
    }

    // --- The update file: "...", a drop, the field and the releases beside the page ---------
    edit.addEventListener("input", () => {
        setEdit1(edit.value);
        if (!canFlash && files.releases.some((r) => r.file === edit.value)) showPlan();
    });
    for (const release of await files.loadReleases()) {
        const option = document.createElement("option");
        option.value = release.file;
        option.label = release.text;
        $("Releases").append(option);
    }

    async function chosen(items) {
        if (module._PageTransferRunning()) return;
        const name = files.take(items.filter((item) => item && item.kind !== "directory"));
        if (name === null) return;
        edit.value = name;
        setEdit1(name);
        if (!canFlash) return showPlan();
        await files.refresh(name);
        module._PageSpeedButton1Click(1);
    }
    async function pick() {
        if (window.showOpenFilePicker) {
            try {
                return await window.showOpenFilePicker({
                    multiple: true,
                    types: [{ description: word(text.OpenDialog1FilterName),
                              accept: { "text/plain": [".hex", ".minisig"] } }],
                });
            } catch (error) {
                return null;
            }
        }
        const dialog = $("OpenDialog1");
        return new Promise((resolve) => {
            dialog.onchange = () => resolve([...dialog.files]);
            dialog.value = "";
            dialog.click();
        });
    }
    speedButton1.addEventListener("click", async () => {
        const items = await pick();
        if (items && items.length) await chosen(items);
    });
    document.addEventListener("dragover", (event) => event.preventDefault());
    document.addEventListener("drop", (event) => {
        event.preventDefault();
        // The items must be asked for at once: the drop's data goes when its event has run.
        const asked = [...event.dataTransfer.items].filter((item) => item.kind === "file").map(
            (item) => (item.getAsFileSystemHandle ? item.getAsFileSystemHandle() : null) ||
                      Promise.resolve(item.getAsFile()));
        Promise.all(asked).then(chosen);
    });

    // --- The port list ----------------------------------------------------------------------
    const requestEntry = "\u0000request";
    let previousPort = "";
    async function fillPorts(keep) {
        const names = await serial.list();
        combo.replaceChildren(...names.map((name) => new Option(name, name)),
                              new Option(word(text.RequestPort), requestEntry));
        combo.value = names.includes(keep) ? keep : names.length ? names[0] : requestEntry;
        previousPort = combo.value;
        setComboBox1(combo.value === requestEntry ? "" : combo.value);
    }
    if (canFlash) {
        serial = new PageSerial(module);
        combo.addEventListener("change", async () => {
            if (combo.value !== requestEntry) {
                previousPort = combo.value;
                setComboBox1(combo.value);
                return;
            }
            const granted = await serial.request();
            await fillPorts(granted || previousPort);
        });
        navigator.serial.addEventListener("connect", () => fillPorts(combo.value));
        navigator.serial.addEventListener("disconnect", () => fillPorts(combo.value));
        await fillPorts("");
    } else {
        const notice = $("Notice");
        notice.textContent = word(window.isSecureContext ? text.NoSerial : text.NotSecure);
        notice.hidden = false;
        combo.disabled = true;
        module._PageSetStartEnabled(0);
    }

    // --- The start button's input; a start waits for its files and its port ----------------
    let preparing = false, waiting = [];
    async function prepare() {
        await files.refresh(edit.value);
        if (module._PageCheckForStart()) await serial.open(combo.value);
    }
    // `starts`: a press that would switch a transfer on.
    function input(starts, handOver) {
        if (preparing) {
            waiting.push(handOver);
            return;
        }
        if (starts && canFlash && !module._PageStartButtonChecked() &&
            !module._PageTransferRunning()) {
            preparing = true;
            waiting.push(handOver);
            prepare().finally(() => {
                const due = waiting;
                waiting = [];
                preparing = false;
                due.forEach((f) => f());
                serial.releaseUnclaimed();
            });
            return;
        }
        handOver();
    }
    const shift = (e) => (e.shiftKey ? 1 : 0) | (e.altKey ? 2 : 0) | (e.ctrlKey ? 4 : 0);
    const where = (e) => {
        const box = start.getBoundingClientRect();
        return [Math.floor(e.clientX - box.left), Math.floor(e.clientY - box.top)];
    };
    const pointer = (kind, e, others = 0) => {
        const [x, y] = where(e);
        const button = e.button, keys = shift(e);
        return () => module._PagePointer(startId, kind, button, keys, x, y, others);
    };
    let held = false;
    document.addEventListener("mousedown", (e) => { buttonsDown = e.buttons; }, true);
    document.addEventListener("mouseup", (e) => { buttonsDown = e.buttons; }, true);
    start.addEventListener("mousedown", (e) => {
        e.preventDefault();
        start.focus();
        held = true;
        const double = e.detail === 2;
        input(e.button === 0 && !double, pointer(double ? 1 : 0, e));
    });
    // The button holds the mouse from its press to the last release, wherever it goes.
    window.addEventListener("mouseup", (e) => {
        if (!held) return;
        held = e.buttons !== 0;
        input(false, pointer(2, e, e.buttons !== 0 ? 1 : 0));
    });
    window.addEventListener("mousemove", (e) => {
        if (held || e.target === start) input(false, pointer(3, e));
    });
    start.addEventListener("mouseenter", (e) => input(false, pointer(4, e)));
    start.addEventListener("mouseleave", (e) => input(false, pointer(5, e)));
    // A box that comes up in the middle of a press takes the mouse with it.
    window.addEventListener("blur", () => {
        if (!held) return;
        held = false;
        input(false, () => module._PagePointer(startId, 6, 0, 0, 0, 0, 0));
    });
    start.addEventListener("keydown", (e) => {
        if (e.key !== " ") return;
        e.preventDefault();
        const repeat = e.repeat ? 1 : 0, keys = shift(e);
        input(!e.repeat, () => module._PageSpace(startId, 1, repeat, keys));
    });
    start.addEventListener("keyup", (e) => {
        if (e.key !== " ") return;
        e.preventDefault();
        const keys = shift(e);
        input(false, () => module._PageSpace(startId, 0, 0, keys));
    });
    start.addEventListener("focus", () => module._PageFocus(startId, 1));
    start.addEventListener("blur", () => module._PageFocus(startId, 0));

    module._PagePaint();
    document.body.dataset.ready = "1";
})();
