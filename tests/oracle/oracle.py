#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The conversion against a HEX reader nobody here wrote: Debian's python3-intelhex.

Every HEX file the tests hold (examples/, the tool-chain files of tests/support/ToolChainFiles,
the conversion's fuzz corpus, tests/oracle/files/) and a seeded run of their mutants go through
both readers. Our side is tests/oracle/oracle_driver: the conversion, then the transfer of its
script into a simulated boot loader, giving every frame put on the line. Where both accept, every
byte the file defines must go out in the block frame of its address with the file's value, in
every frame that carries that address. Where only one accepts, or both accept with different
bytes, the difference must be one that README.md lists, recognised from the file; any other
difference fails the test. srec_cat, given the same text, must read the fixed files we take alike.

Run it with Debian's own /usr/bin/python3 (the package is for that one):
    /usr/bin/python3 tests/oracle/oracle.py --driver build/tests/oracle_driver --mutants 3000
    /usr/bin/python3 tests/oracle/oracle.py --driver ... --files some.hex other.hex
"""
import argparse
import io
import multiprocessing
import os
import random
import subprocess
import sys
import time

import intelhex
from intelhex import IntelHex

SOURCE = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
MEMORY = 0x10000
BLOCK = 128
PAGE = 512

# Our refusals that the reasons recognise, as the driver prints them: the fault, its line and its
# data (tests/support/Refusals.h).
NO_DATA = ("no-data@0", "empty-file@0")
ABOVE_64K = "outside-memory@"
ENCODING_FAULTS = ("foreign-encoding@", "unmarked-utf16@")

# The documented differences (README.md has the table). Each is recognised from the file.
REASONS = {
    # How our text-file reading presents the file; intelhex gets the text as we read it.
    "lone-cr": "a CR not followed by LF in a file with LFs: we drop it, intelhex ends a line there",
    "ctrl-z": "Ctrl-Z (character 26) ends the file at a line's start, or the line's text inside "
              "it: we stop there, intelhex refuses it as a record",
    "trailing-blanks": "blanks or tabs after a record's checksum: we skip them, intelhex refuses",
    "byte-order-mark": "a UTF-8 byte-order mark or UTF-16 text: we decode it, intelhex reads bytes",
    "blank-line": "a line of blanks and tabs alone: we read past it as past an empty line, "
                  "intelhex refuses it (it reads past empty lines only)",
    # Records intelhex takes stricter than we do.
    "same-byte-twice": "a byte given twice with the same value: intelhex calls it an overlap, "
                       "we take it",
    "extended-address-field": "an extended address record (02, 04) whose address field is not "
                              "0000: intelhex refuses it, we read its value",
    "start-address": "a start address record (03, 05) of another length, with an address field, or "
                     "given twice: intelhex refuses it, we skip start addresses",
    # Files we refuse and intelhex takes.
    "above-64k": "data at 10000 or above: we refuse it, intelhex takes any address",
    "no-data": "no data byte at all (no record at all: an empty file): we refuse the file, "
               "intelhex gives an empty image",
    "not-utf8": "bytes that are not UTF-8 text (nor UTF-16 with a byte-order mark): we refuse "
                "the file for its encoding (another encoding's byte-order mark, or UTF-16 without "
                "its mark), intelhex reads bytes",
}


# ---------------------------------------------------------------------------------------------
# intelhex's reading


class Reading:
    """What intelhex made of a file: accepted with its memory, or refused with a message."""

    def __init__(self, memory=None, refusal=None, fired=(), not_utf8=False):
        self.memory = memory  # {address: byte}, None when refused
        self.refusal = refusal
        # Reasons whose adjustment of the text, or tolerance of a record, changed what intelhex
        # was given before its end record.
        self.fired = frozenset(fired)
        self.not_utf8 = not_utf8  # the file is neither UTF-8 nor UTF-16 with a byte-order mark

    @property
    def accepted(self):
        return self.memory is not None

    def __str__(self):
        if not self.accepted:
            return "refused: " + self.refusal
        return "accepted, %d bytes%s" % (len(self.memory), describe_ranges(self.memory))


def describe_ranges(memory):
    ranges = []
    for address in sorted(memory):
        if ranges and ranges[-1][1] + 1 == address:
            ranges[-1][1] = address
        else:
            ranges.append([address, address])
    shown = ", ".join("%04X-%04X" % (a, b) for a, b in ranges[:4])
    return " (%s%s)" % (shown, ", ..." if len(ranges) > 4 else "")


def read_plain(data):
    """intelhex as it is: IntelHex.loadhex of the file as text with universal line ends, as when
    it opens a file itself; Latin-1, so that every byte is one character and none fails to
    decode."""
    ih = IntelHex()
    try:
        ih.loadhex(io.TextIOWrapper(io.BytesIO(data), encoding="latin-1", newline=None))
    except intelhex.IntelHexError as e:
        return Reading(refusal="%s: %s" % (type(e).__name__, e))
    return Reading(memory={a: ih[a] for a in ih.addresses()})


def read_srec(text):
    """srecord's srec_cat reading the lines of OurText: its memory, or None when it refuses."""
    done = subprocess.run(["srec_cat", "-", "-intel", "-o", "-", "-intel"],
                          input="".join(line + "\n" for line in text.lines).encode(
                              "latin-1", errors="replace"), capture_output=True)
    return read_plain(done.stdout).memory if done.returncode == 0 else None


def read_tolerant(text):
    """intelhex record by record (the loop of IntelHex.loadhex, calling its own record decoder)
    over the lines of OurText, with the reasons' tolerances: a byte given twice alike, the address
    field of an extended address record, and start address records it refuses."""
    ih = IntelHex()
    ih._offset = 0
    fired = set(text.file_reasons)
    ended = False
    for number, line in enumerate(text.lines, 1):
        fired |= text.line_reasons[number - 1]
        try:
            decode_tolerant(ih, line, number, fired)
        except intelhex._EndOfFile:
            ended = True
            break
        except intelhex.IntelHexError as e:
            return Reading(refusal="%s: %s" % (type(e).__name__, e), fired=fired,
                           not_utf8=text.not_utf8)
    if text.cut_at_ctrl_z and not ended:
        fired.add("ctrl-z")  # the file ended at a Ctrl-Z before any end record
    return Reading(memory=dict(ih._buf), fired=fired, not_utf8=text.not_utf8)


def decode_tolerant(ih, line, number, fired):
    try:
        ih._decode_record(line, number)
    except (intelhex.StartSegmentAddressRecordError, intelhex.StartLinearAddressRecordError,
            intelhex.DuplicateStartAddressRecordError):
        # Raised only past the checks of form and checksum: a well-formed record.
        fired.add("start-address")
    except (intelhex.ExtendedSegmentAddressRecordError,
            intelhex.ExtendedLinearAddressRecordError):
        record = bytes.fromhex(line[1:])
        if record[0] != 2:
            raise  # a length other than 2: we refuse it too
        fired.add("extended-address-field")
        ih._decode_record(record_line(record[:1] + b"\0\0" + record[3:6]), number)
    except intelhex.AddressOverlapError:
        # The record decoded on its own, at the base in force: every byte it gives again must
        # have the value given before.
        again = IntelHex()
        again._offset = ih._offset
        again._decode_record(line, number)
        for address, value in again._buf.items():
            if ih._buf.get(address, value) != value:
                raise
        fired.add("same-byte-twice")
        ih._buf.update(again._buf)


def record_line(body):
    """':', the record's bytes (without checksum) in hexadecimal and their checksum."""
    body = bytes(body)
    return ":" + (body + bytes([-sum(body) & 0xFF])).hex().upper()


# ---------------------------------------------------------------------------------------------
# The file as our text reading gives it (loader/TextFile.h): only blanks and tabs may follow a
# record's checksum, a line of blanks and tabs alone is read past, a file whose lines all end with
# CR alone is read at its CRs, a UTF-8 byte-order mark is skipped and UTF-16 text with one decoded.


class OurText:
    """The lines of a file as we read them, and which reasons changed each of them."""

    def __init__(self, data):
        self.file_reasons = set()
        self.cut_at_ctrl_z = False
        self.lines, self.line_reasons = [], []
        text, self.not_utf8 = decode_text(data)
        if len(text) != len(data):
            self.file_reasons.add("byte-order-mark")
        cr_only = "\n" not in text and "\r" in text
        if cr_only:
            text = text.replace("\r", "\n")
        raw = text.split("\n")
        if len(raw) > 1 and raw[-1] == "":
            raw.pop()  # a line end at the very end gives no further line
        for index, line in enumerate(raw):
            why = set()
            cut = line.find("\x1a")
            if cut == 0:
                self.cut_at_ctrl_z = True
                if index == 0:  # at least one line is read
                    self.lines.append("")
                    self.line_reasons.append({"ctrl-z"})
                break
            if cut > 0:
                line = line[:cut]  # the rest of the line is skipped
                why.add("ctrl-z")
            elif line.endswith("\r"):
                line = line[:-1]  # CR LF
            if "\r" in line:
                line = line.replace("\r", "")  # a CR not followed by LF is dropped
                if not cr_only:
                    why.add("lone-cr")
            if line and line.strip(" \t") == "":
                line = ""  # read past as intelhex reads past an empty line
                why.add("blank-line")
            line, after = split_after_checksum(line)
            if after and after.strip(" \t") == "":
                why.add("trailing-blanks")
            else:
                line += after
            self.lines.append(line)
            self.line_reasons.append(why)


def decode_text(data):
    """(text, whether the file is neither UTF-8 nor UTF-16 with a byte-order mark), as we read it:
    a UTF-8 mark skipped, UTF-16 with its mark decoded with U+FFFD for what does not decode (an
    unpaired surrogate, an odd last byte); other bytes taken byte for byte as Latin-1."""
    for mark, encoding in ((b"\xff\xfe", "utf-16-le"), (b"\xfe\xff", "utf-16-be")):
        if data.startswith(mark):
            return data[len(mark):].decode(encoding, errors="replace"), False
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    try:
        data.decode("utf-8")
        return data.decode("latin-1"), False
    except UnicodeDecodeError:
        return data.decode("latin-1"), True


def split_after_checksum(line):
    """The record through its checksum, and what follows it; the whole line and nothing when the
    line does not begin with ':' and a length field that reads."""
    if line[:1] != ":" or len(line) < 3 or any(c not in HEX_DIGITS for c in line[1:3]):
        return line, ""
    end = 11 + 2 * int(line[1:3], 16)
    return line[:end], line[end:]


HEX_DIGITS = "0123456789abcdefABCDEF"


# ---------------------------------------------------------------------------------------------
# Our side


class Ours:
    def __init__(self, line):
        kind, _, rest = line.partition(" ")
        self.kind = kind  # "sent", "refused" or "fault"
        self.message = rest if kind != "sent" else ""
        self.frames = [bytes.fromhex(f) for f in rest.split()] if kind == "sent" else []

    def __str__(self):
        if self.kind == "sent":
            return "accepted, %d frames" % len(self.frames)
        return "%s: %s" % (self.kind, self.message)


def run_ours(driver, files):
    stream = b"".join(b"%d\n" % len(data) + data for data in files)
    done = subprocess.run([driver], input=stream, stdout=subprocess.PIPE, check=True)
    lines = done.stdout.decode("utf-8", errors="replace").split("\n")
    if lines[-1] == "":
        lines.pop()
    if len(lines) != len(files):
        raise RuntimeError("the driver answered %d of %d files" % (len(lines), len(files)))
    return [Ours(line) for line in lines]


def tool_chain_files(driver):
    out = subprocess.run([driver, "--tool-chain-files"], stdout=subprocess.PIPE,
                         check=True).stdout
    files, at = [], 0
    while at < len(out):
        header_end = out.index(b"\n", at)
        name, size = out[at:header_end].decode().rsplit(" ", 1)
        start = header_end + 1
        files.append(("tool-chain:" + name, out[start:start + int(size)]))
        at = start + int(size)
    return files


def sent_blocks(frames):
    """{block address: [the 128 data bytes of each block command at it]} of a transfer's frames,
    or what is wrong with them. They must be the greeting's answer, the first page command, page
    commands at a page's base and block commands at a block's base in the page opened last, and
    the end command."""
    if len(frames) < 3 or frames[0] != b"\x55\x33\xcc" or frames[1] != b"\x11\0\0" \
            or frames[-1] != b"\x99\0\0":
        return "the frames do not begin with 55 33 CC and 11 00 00 and end with 99 00 00"
    blocks, page = {}, 0
    for index, frame in enumerate(frames[1:-1], 1):
        address = int.from_bytes(frame[1:3], "big") if len(frame) >= 3 else -1
        if frame[0] == 0x11 and len(frame) == 3 and address % PAGE == 0:
            page = address
        elif frame[0] == 0x22 and len(frame) == 3 + BLOCK and address % BLOCK == 0 \
                and address - address % PAGE == page:
            blocks.setdefault(address, []).append(frame[3:])
        else:
            return "frame %d is neither a page command at a page's base nor a block command " \
                   "at a block's base in its page: %s..." % (index, frame[:3].hex().upper())
    return blocks


# ---------------------------------------------------------------------------------------------
# The comparison


def compare(ours, reading):
    """(None, reasons) when our side did what `reading` calls for, else (what differs, ()). A
    file intelhex takes must be refused when it has no data byte or data at 10000 or above, or is
    not UTF-8 text; otherwise every byte it defines must be sent."""
    if ours.kind == "fault":
        return "the transfer failed: " + ours.message, ()
    if not reading.accepted:
        return (None, ()) if ours.kind == "refused" else ("accepted a file intelhex refuses", ())
    memory = reading.memory
    to_refuse = refusal_reasons(ours.message if ours.kind == "refused" else None, reading)
    if ours.kind == "refused":
        if to_refuse:
            return None, to_refuse[:1]
        return "refused a file intelhex takes", ()
    if to_refuse or not memory or max(memory) >= MEMORY:
        return "accepted a file with no data byte, data at 10000 or above or bytes that are " \
               "not UTF-8", ()
    blocks = sent_blocks(ours.frames)
    if isinstance(blocks, str):
        return blocks, ()
    for address, value in sorted(memory.items()):
        base = address - address % BLOCK
        sent = blocks.get(base)
        if not sent:
            return "%04X: the file's byte %02X is not sent" % (address, value), ()
        for data in sent:
            if data[address - base] != value:
                return "%04X: sent %s, the file's byte is %02X" % (
                    address, "/".join("%02X" % d[address - base] for d in sent), value), ()
    return None, ()


def refusal_reasons(message, reading):
    """The reasons for which we refuse a file that `reading` accepted; with a message, only those
    that explain it."""
    memory = reading.memory
    reasons = []
    above = [a for a in memory if a >= MEMORY]
    if above:
        named = message.split(" ")[1] if message and message.startswith(ABOVE_64K) else None
        if message is None or (named and int(named, 16) in above):
            reasons.append("above-64k")
    if not memory and (message is None or message in NO_DATA):
        reasons.append("no-data")
    # Refused for the file's encoding: a refusal of the whole file, which names no line.
    if reading.not_utf8 and message is not None and message.startswith(ENCODING_FAULTS):
        reasons.append("not-utf8")
    return reasons


class Verdict:
    def __init__(self, outcome, reasons=(), detail=""):
        self.outcome = outcome  # "agree", "reasons" or "fail"
        self.reasons = sorted(reasons)
        self.detail = detail


def judge(data, ours):
    """How our side's answer for the file stands to intelhex's: in agreement; in agreement with
    intelhex reading the text as we read it, for documented reasons; or failed."""
    plain = read_plain(data)
    difference, reasons = compare(ours, plain)
    if difference is None and not reasons:
        return Verdict("agree")
    ours_read = read_tolerant(OurText(data))
    difference, reasons = compare(ours, ours_read)
    if difference is None:
        reasons = ours_read.fired | set(reasons)
        if reasons:
            return Verdict("reasons", reasons)
        difference = "intelhex differs on the file as it is, yet no reason was recognised"
    return Verdict("fail", detail="ours: %s\n  intelhex: %s\n  intelhex of the text as we "
                   "read it: %s\n  difference: %s" % (ours, plain, ours_read, difference))


# ---------------------------------------------------------------------------------------------
# Mutants

HEX = "0123456789ABCDEF"
CHARS = HEX + "abcdef:\r\n \t\x1a\x00G\xff"


def split_lines(data):
    return data.split(b"\n")


def fix_checksum(line):
    """The record line with its checksum made right, when it reads as ':' and hexadecimal pairs."""
    text = line.rstrip(b"\r")
    end = line[len(text):]
    try:
        record = bytes.fromhex(text[1:].decode("ascii"))
    except (ValueError, UnicodeDecodeError):
        return line
    if not text.startswith(b":") or len(record) < 2:
        return line
    return record_line(record[:-1]).encode() + end


def record(address, data, kind):
    head = bytes([len(data), address >> 8, address & 0xFF, kind])
    return record_line(head + bytes(data)).encode()


def mutate(data, rng):
    """One to three edits of the file's bytes; a record line edited is given its right checksum
    again half of the time, so that mutants reach the rules past the checksum."""
    for _ in range(rng.choice((1, 1, 1, 2, 3))):
        data = rng.choice(MUTATIONS)(data, rng)
    return data


def m_byte(data, rng):
    if not data:
        return bytes([ord(rng.choice(CHARS))])
    at = rng.randrange(len(data))
    how = rng.randrange(3)
    if how == 0:
        new = bytes([data[at] ^ (1 << rng.randrange(8))])
        return data[:at] + new + data[at + 1:]
    if how == 1:
        return data[:at] + rng.choice(CHARS).encode("latin-1") + data[at:]
    return data[:at] + data[at + 1:]


def edit_line(data, rng, edit):
    lines = split_lines(data)
    records = [i for i, line in enumerate(lines) if line.startswith(b":")]
    if not records:
        return data
    i = rng.choice(records)
    line = edit(lines[i], rng)
    lines[i] = fix_checksum(line) if rng.random() < 0.5 else line
    return b"\n".join(lines)


def m_digit(data, rng):
    def edit(line, rng):
        if len(line) < 2:
            return line
        at = rng.randrange(1, len(line))
        return line[:at] + rng.choice(HEX + "abcdef").encode() + line[at + 1:]
    return edit_line(data, rng, edit)


def m_field(data, rng):
    """A new length, address or type field."""
    def edit(line, rng):
        field = rng.choice(((1, 2), (3, 4), (7, 2)))
        if field == (7, 2):
            value = "%02X" % rng.choice((0, 1, 2, 3, 4, 5, 6, 0xFF))
        elif field == (3, 4):
            value = "%04X" % rng.choice((0, 0x10, 0x7F, 0x80, 0x1FF, 0xFFF0, rng.randrange(MEMORY)))
        else:
            value = "%02X" % rng.choice((0, 1, 2, 4, 0x0F, 0x11, 0x20, 0xFF))
        return line[:field[0]] + value.encode() + line[field[0] + field[1]:]
    return edit_line(data, rng, edit)


def m_cut_record(data, rng):
    """A record's data made shorter or longer, its length field following half of the time."""
    def edit(line, rng):
        text = line.rstrip(b"\r")
        if len(text) < 13:
            return line
        body, checksum = text[:-2], text[-2:]
        if rng.random() < 0.5:
            body = body[:max(9, len(body) - 2 * rng.randint(1, 4))]
        else:
            body = body + b"".join(b"%02X" % rng.randrange(256) for _ in range(rng.randint(1, 4)))
        if rng.random() < 0.5:
            body = b":%02X" % ((len(body) - 9) // 2 & 0xFF) + body[3:]
        return body + checksum + line[len(text):]
    return edit_line(data, rng, edit)


def m_lines(data, rng):
    lines = split_lines(data)
    i, j = rng.randrange(len(lines)), rng.randrange(len(lines) + 1)
    how = rng.randrange(4)
    if how == 0:
        lines.insert(j, lines[i])  # the same record twice
    elif how == 1:
        del lines[i]
    elif how == 2:
        j = min(j, len(lines) - 1)
        lines[i], lines[j] = lines[j], lines[i]
    else:
        lines.insert(j, rng.choice((b"", b"\r", b" ", b"\x1a", b"junk", b":")))
    return b"\n".join(lines)


def m_conflict(data, rng):
    """A record given again with one byte changed, or at another address."""
    lines = split_lines(data)
    records = [line for line in lines if line.startswith(b":") and line[7:9] == b"00"]
    if not records:
        return data
    line = bytearray(rng.choice(records).rstrip(b"\r"))
    if len(line) > 13 and rng.random() < 0.5:
        at = 9 + rng.randrange(len(line) - 11)
        line[at] = ord(rng.choice(HEX))
    elif all(c in HEX_DIGITS.encode() for c in line[3:7]) and len(line) >= 7:
        line[3:7] = b"%04X" % ((int(line[3:7], 16) + rng.choice((1, 8, 16, -1))) & 0xFFFF)
    lines.insert(rng.randrange(len(lines) + 1), fix_checksum(bytes(line)))
    return b"\n".join(lines)


def m_extra_record(data, rng):
    """An extended address, start address or unknown record somewhere."""
    lines = split_lines(data)
    kind = rng.choice((2, 2, 4, 4, 3, 5, 6))
    if kind in (2, 4):
        value = rng.choice((0, 0, 1, 0x0FFF, 0x1000, 0xF000, 0xFFFF, rng.randrange(MEMORY)))
        payload = [value >> 8, value & 0xFF]
    else:
        payload = [rng.randrange(256) for _ in range(rng.choice((4, 4, 2, 0)))]
    address = 0 if rng.random() < 0.8 else rng.randrange(MEMORY)
    lines.insert(rng.randrange(len(lines) + 1), record(address, payload, kind))
    return b"\n".join(lines)


def m_line_ends(data, rng):
    how = rng.randrange(5)
    plain = data.replace(b"\r\n", b"\n")
    if how == 0:
        return plain.replace(b"\n", b"\r\n")
    if how == 1:
        return plain.replace(b"\n", b"\r")
    if how == 2:
        return plain
    lines = split_lines(data)
    i = rng.randrange(len(lines))
    lines[i] = lines[i] + rng.choice((b"\r", b"\r\r", b" ", b"\t", b" \t", b"\x1a", b"FF", b"x"))
    return b"\n".join(lines)


def m_whole(data, rng):
    how = rng.randrange(6)
    if how == 0:
        return data[:rng.randrange(len(data) + 1)]
    if how == 1:
        return data.lower() if rng.random() < 0.5 else data.upper()
    if how == 2:
        return b"\xef\xbb\xbf" + data
    if how == 3:
        return b"\xff\xfe" + data.decode("latin-1").encode("utf-16-le")
    if how == 4:
        return data + rng.choice((b"\x1a", b"\n", b"\r\n\r\n", b"junk\n", b":00000001FF\n"))
    return data.replace(b":00000001FF", b"", 1)


MUTATIONS = (m_byte, m_byte, m_digit, m_digit, m_field, m_field, m_cut_record, m_lines, m_lines,
             m_conflict, m_extra_record, m_line_ends, m_whole)


def mutant(files, seed, index):
    """The mutant `index` of the run `seed`: the same whatever runs before or beside it."""
    rng = random.Random("%s:%d" % (seed, index))
    name, data = files[rng.randrange(len(files))]
    return "mutant %s:%d of %s" % (seed, index, name), mutate(data, rng)


# ---------------------------------------------------------------------------------------------
# The run


def check_mutants(job):
    driver, files, seed, first, count = job
    named = [mutant(files, seed, i) for i in range(first, first + count)]
    ours = run_ours(driver, [data for _, data in named])
    return named, [judge(data, answer) for (_, data), answer in zip(named, ours)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--driver", required=True, help="tests/oracle_driver of a build")
    parser.add_argument("--mutants", type=int, default=3000, help="mutants to check (3000)")
    parser.add_argument("--seed", default="1", help="seed of the mutants (1)")
    parser.add_argument("--jobs", type=int, default=1, help="processes checking mutants (1)")
    parser.add_argument("--keep", default=None,
                        help="folder to write failing files into (default: none)")
    parser.add_argument("--files", nargs="+", help="check these files only, no mutants")
    args = parser.parse_args()
    started = time.monotonic()

    if args.files:
        fixed = [(path, open(path, "rb").read()) for path in args.files]
    else:
        fixed = fixed_files(args.driver)
    ours = run_ours(args.driver, [data for _, data in fixed])
    verdicts = [judge(data, answer) for (_, data), answer in zip(fixed, ours)]
    results = list(zip(fixed, verdicts))
    for (name, data), answer, verdict in zip(fixed, ours, verdicts):
        if answer.kind == "sent" and verdict.outcome in ("agree", "reasons"):
            second = second_opinion(data, answer)
            if second:
                verdict.outcome, verdict.detail = "fail", second

    if not args.files and args.mutants > 0:
        chunk = 250
        jobs = [(args.driver, fixed, args.seed, first, min(chunk, args.mutants - first))
                for first in range(0, args.mutants, chunk)]
        if args.jobs > 1:
            with multiprocessing.Pool(args.jobs) as pool:
                outcomes = pool.map(check_mutants, jobs)
        else:
            outcomes = map(check_mutants, jobs)
        for named, checked in outcomes:
            results.extend(zip(named, checked))

    failed = report(results, args.keep)
    print("oracle: %d files (%d fixed, %d mutants of seed %s) in %.1f s: %s" % (
        len(results), len(fixed), len(results) - len(fixed), args.seed,
        time.monotonic() - started, "FAILED" if failed else "passed"))
    return 1 if failed else 0


def second_opinion(data, ours):
    """For a file we take: srec_cat, given the text as we read it, takes it too, defines the
    bytes intelhex defines, and we send them."""
    text = OurText(data)
    memory = read_srec(text)
    if memory is None:
        return "srec_cat refuses a file we take"
    if memory != read_tolerant(text).memory:
        return "srec_cat and intelhex read different bytes: %s and %s" % (
            describe_ranges(memory), describe_ranges(read_tolerant(text).memory))
    return compare(ours, Reading(memory=memory))[0]


def fixed_files(driver):
    files = []
    for folder in ("examples", os.path.join("fuzz", "corpus", "conversion"),
                   os.path.join("tests", "oracle", "files")):
        path = os.path.join(SOURCE, folder)
        for name in sorted(os.listdir(path)):
            with open(os.path.join(path, name), "rb") as f:
                files.append((os.path.join(folder, name), f.read()))
    return files + tool_chain_files(driver)


def report(results, keep):
    counts = {}
    examples = {}
    failures = []
    for (name, data), verdict in results:
        key = verdict.outcome
        counts[key] = counts.get(key, 0) + 1
        for reason in verdict.reasons:
            counts[reason] = counts.get(reason, 0) + 1
            examples.setdefault(reason, name)
        if verdict.outcome == "fail":
            failures.append((name, data, verdict))
    print("agree: %d, agree for a documented reason: %d, failed: %d" % (
        counts.get("agree", 0), counts.get("reasons", 0), len(failures)))
    for reason, text in REASONS.items():
        if reason in counts:
            print("  reason %-23s %6d  (first: %s)\n      %s" % (
                reason, counts[reason], examples[reason], text))
    for name, data, verdict in failures[:20]:
        print("FAIL: %s\n  %s\n  file: %r" % (name, verdict.detail,
                                              data if len(data) <= 300 else data[:300] + b"..."))
    if keep and failures:
        os.makedirs(keep, exist_ok=True)
        for number, (name, data, _) in enumerate(failures):
            with open(os.path.join(keep, "failure-%04d.hex" % number), "wb") as f:
                f.write(data)
        print("failing files written to %s" % keep)
    return bool(failures)


if __name__ == "__main__":
    sys.exit(main())
