// SPDX-License-Identifier: MIT
// The module's calls into the page (web/PageBridge.h): each hands its arguments, as JavaScript
// values, to the page's script (Module.page, page/page.js), which owns the elements, the timers
// and the serial port.
mergeInto(LibraryManager.library, {
    PageJsBlit: function (control, pixels, width, height, left, top, right, bottom) {
        Module.page.blit(control, HEAP32.subarray(pixels >> 2, (pixels >> 2) + width * height),
                         width, height, left, top, right, bottom);
    },
    PageJsPaintLater: function () {
        Module.page.paintLater();
    },
    PageJsPointerDown: function () {
        return Module.page.pointerDown() ? 1 : 0;
    },
    PageJsTextWidth: function (font, text) {
        return Module.page.textWidth(UTF8ToString(font), UTF8ToString(text));
    },
    PageJsLineHeight: function (font) {
        return Module.page.lineHeight(UTF8ToString(font));
    },
    PageJsTextMask: function (font, text, mask, width, height) {
        Module.page.textMask(UTF8ToString(font), UTF8ToString(text),
                             HEAPU8.subarray(mask, mask + width * height), width, height);
    },
    PageJsBox: function (error, text) {
        Module.page.box(error !== 0, UTF8ToString(text));
    },
    PageJsStartTimer1: function (milliseconds) {
        Module.page.startTimer1(milliseconds);
    },
    PageJsPost: function () {
        Module.page.post();
    },
    PageJsSetSpeedButton1Enabled: function (enabled) {
        Module.page.setSpeedButton1Enabled(enabled !== 0);
    },
    PageJsSetEdit1Hint: function (text) {
        Module.page.setEdit1Hint(UTF8ToString(text));
    },
    PageJsSerialClaim: function (name) {
        return Module.page.serial.claim(UTF8ToString(name));
    },
    PageJsSerialSetDtr: function (on) {
        Module.page.serial.setDtr(on !== 0);
    },
    PageJsSerialWrite: function (bytes, count) {
        // A copy: the module's memory may move before the writer takes it.
        Module.page.serial.write(HEAPU8.slice(bytes, bytes + count));
    },
    PageJsSerialClose: function () {
        Module.page.serial.close();
    },

    // Release signatures: libsodium's browser build (the global `sodium`, made ready by the page
    // before the module's first check).
    PageJsSodiumReady: function () {
        return typeof sodium === "object" && sodium !== null &&
            typeof sodium.crypto_sign_verify_detached === "function" ? 1 : 0;
    },
    PageJsBlake2b512: function (bytes, length, digest) {
        HEAPU8.set(sodium.crypto_generichash(64, HEAPU8.subarray(bytes, bytes + length), null),
                   digest);
    },
    PageJsVerifyEd25519: function (signature, message, length, key) {
        return sodium.crypto_sign_verify_detached(HEAPU8.subarray(signature, signature + 64),
                                                  HEAPU8.subarray(message, message + length),
                                                  HEAPU8.subarray(key, key + 32)) ? 1 : 0;
    },
    PageJsBase64: function (text, length, out, room) {
        const string = UTF8ToString(text, length);
        if (string.length !== length || length % 4 !== 0 ||
            !/^[A-Za-z0-9+/]*={0,2}$/.test(string))
            return -1;
        let bytes;
        try {
            bytes = sodium.from_base64(string, sodium.base64_variants.ORIGINAL);
        } catch (e) {
            return -1;
        }
        if (bytes.length <= room) HEAPU8.set(bytes, out);
        return bytes.length;
    },
});
