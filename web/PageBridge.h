// SPDX-License-Identifier: MIT
#pragma once
// What the module asks of the page's script (PageLibrary.js): the only calls from C++ into the
// browser. Each runs at once on the page's one thread; none calls back into the module before
// it returns, except the boxes, which hold everything up as a modal box does.
#include <cstdint>

extern "C" {
// Shows the rectangle (left, top, right, bottom) of a control's surface, `width` x `height`
// pixels of 0x00BBGGRR, on its HTML canvas.
void PageJsBlit(int control, const uint32_t* pixels, int width, int height, int left, int top,
                int right, int bottom);
// Asks for PagePaint soon.
void PageJsPaintLater();
// Whether the page's pointer is held down, on any control.
int PageJsPointerDown();

// The text's advance width in the CSS font `font`, and the font's line height.
int PageJsTextWidth(const char* font, const char* text);
int PageJsLineHeight(const char* font);
// The text's coverage, one byte a pixel, into `mask` of `width` x `height`.
void PageJsTextMask(const char* font, const char* text, uint8_t* mask, int width, int height);

// A modal box with `text`: a handler's message (error 0) or an error (1); returns once it is
// dismissed.
void PageJsBox(int error, const char* text);
// Timer1: PageTimer1 once `milliseconds` have passed, or sooner, as a timer set before for an
// earlier time stays; the logic then finds its deadline not yet come and starts it again.
void PageJsStartTimer1(double milliseconds);
// PageRunPosted once the running handler has returned.
void PageJsPost();
void PageJsSetSpeedButton1Enabled(int enabled);
void PageJsSetEdit1Hint(const char* text);

// The port the page opened for this start, named `name` in the port list: 0 when it is open and
// now the module's, else why it did not open (TWebPortRefusal).
int PageJsSerialClaim(const char* name);
void PageJsSerialSetDtr(int on);
// Hands bytes to the port's writer; PageWritten follows once they have left.
void PageJsSerialWrite(const uint8_t* bytes, int count);
// Closes the port once what was handed to it has left.
void PageJsSerialClose();
}
