#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""A plain flasher, the yardstick of bench_side_by_side: one thread, blocking reads, nothing but
os and termios. It sends the transfer script in SCRIPT (what `tevr-flash convert` prints) to the
boot loader on PORT: greeting 0x55, answer 0x55 0x33 0xCC, the device's 0xAA, 21 ms, page command
0x11 (await 0xAA), block commands 0x22 with 128 data bytes (echo read past, checksum compared), end
command 0x99 0x00 0x00.

Usage: plain_flasher.py SCRIPT PORT

The line is put in raw mode, 8N1 without flow control; its rate is left as it is, which is all a
pseudo-terminal (the simulator's line) needs. Exit status 0 when the end command went out.
"""
import os
import signal
import sys
import termios
import time

GREETING, ACKNOWLEDGE = 0x55, 0xAA
GREETING_ANSWER = bytes([0x55, 0x33, 0xCC])
FIRST_PAGE = bytes([0x11, 0x00, 0x00])
END = bytes([0x99, 0x00, 0x00])
BLOCK = 128
FIRST_PAGE_WAIT = 0.021
LIMIT_SECONDS = 120  # the whole run; a stuck line must not hang the benchmark


def frames(script):
    """(frame, the byte the device answers it with) for every script line from 1 on."""
    for line in script[1:]:
        address = bytes.fromhex(line[7:11])
        if line[4:6] == "01":
            yield bytes([0x11]) + address, ACKNOWLEDGE
            continue
        count = int(line[12:14], 16)
        data = bytes.fromhex(line[15:15 + 2 * count]) + b"\xff" * max(0, BLOCK - count)
        yield bytes([0x22]) + address + data, sum(data) & 0xFF


def read_exact(fd, count):
    data = b""
    while len(data) < count:
        chunk = os.read(fd, count - len(data))
        if not chunk:
            sys.exit("plain_flasher: the line hung up")
        data += chunk
    return data


def read_until(fd, wanted):
    while read_exact(fd, 1)[0] != wanted:
        pass


def send(fd, frame, answer):
    os.write(fd, frame)
    if read_exact(fd, len(frame)) != frame:
        sys.exit("plain_flasher: the echo did not match")
    got = read_exact(fd, 1)[0]
    if got != answer:
        sys.exit(f"plain_flasher: answer {got:02X}, expected {answer:02X}")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    signal.alarm(LIMIT_SECONDS)
    with open(sys.argv[1]) as file:
        script = file.read().splitlines()
    fd = os.open(sys.argv[2], os.O_RDWR | os.O_NOCTTY)
    attrs = termios.tcgetattr(fd)
    attrs[0] = 0  # iflag
    attrs[1] = 0  # oflag
    attrs[2] = (attrs[2] & ~(termios.CSIZE | termios.PARENB | termios.CSTOPB | termios.CRTSCTS)
                ) | termios.CS8 | termios.CREAD | termios.CLOCAL
    attrs[3] = 0  # lflag
    attrs[6][termios.VMIN] = 1
    attrs[6][termios.VTIME] = 0
    termios.tcsetattr(fd, termios.TCSANOW, attrs)
    # Made before the device greets: nothing between its answer and the next frame.
    plan = list(frames(script))

    read_until(fd, GREETING)
    os.write(fd, GREETING_ANSWER)
    read_until(fd, ACKNOWLEDGE)  # the answer's echo and repeated greetings come before it
    due = time.monotonic() + FIRST_PAGE_WAIT
    while (left := due - time.monotonic()) > 0:
        time.sleep(left)
    send(fd, FIRST_PAGE, ACKNOWLEDGE)
    for frame, answer in plan:
        send(fd, frame, answer)
    os.write(fd, END)
    termios.tcdrain(fd)
    os.close(fd)


if __name__ == "__main__":
    main()
