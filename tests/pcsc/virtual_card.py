#!/usr/bin/python3
"""A contactless card on the virtual reader of pcscd's vpcd driver, for the reader tests.

Speaks vpcd's protocol directly (a 2-byte big-endian length, then the message; one-byte messages are
power and ATR controls) and answers GET DATA FF CA 00 00 Le with the IDm. It connects to localhost only
and exits when vpcd closes the line (pcscd stopped) or when it is killed (the card leaves).
"""
import argparse
import socket
import struct
import sys
import time

# A contactless storage card as PC/SC readers present it.
ATR = bytes.fromhex("3B 8F 80 01 80 4F 0C A0 00 00 03 06 11 00 3B 00 00 00 00 42".replace(" ", ""))
CTRL_OFF, CTRL_ON, CTRL_RESET, CTRL_ATR = 0, 1, 2, 4


def recv_exact(sock, n):
    data = b""
    while len(data) < n:
        if hasattr(socket, "TCP_QUICKACK"):
            sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_QUICKACK, 1)
        chunk = sock.recv(n - len(data))
        if not chunk:
            raise EOFError
        data += chunk
    return data


def answer(apdu, idm, slow):
    if len(apdu) >= 4 and apdu[0] == 0xFF and apdu[1] == 0xCA:
        if apdu[2] != 0 or apdu[3] != 0:
            return b"\x6A\x81"
        le = apdu[4] if len(apdu) >= 5 else 0
        if slow:
            time.sleep(slow)
        if 0 < le < len(idm):
            return bytes([0x6C, len(idm)])
        return idm + b"\x90\x00"
    return b"\x6D\x00"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=35963)
    parser.add_argument("--idm", required=True)
    parser.add_argument("--slow", type=float, default=0.0, help="seconds before each GET DATA answer")
    args = parser.parse_args()
    idm = bytes.fromhex(args.idm)
    try:
        sock = socket.create_connection(("127.0.0.1", args.port), timeout=5)
    except OSError as e:
        print("cannot reach vpcd:", e, file=sys.stderr)
        return 1
    sock.settimeout(None)
    sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    # The monotonic clock is the one std::chrono::steady_clock reads: a benchmark times from here.
    print("card connected", time.monotonic_ns(), flush=True)
    try:
        while True:
            (size,) = struct.unpack("!H", recv_exact(sock, 2))
            msg = recv_exact(sock, size) if size else b""
            if size == 1:
                if msg[0] == CTRL_ATR:
                    reply = ATR
                else:
                    continue
            else:
                reply = answer(msg, idm, args.slow)
            sock.sendall(struct.pack("!H", len(reply)) + reply)
    except (EOFError, OSError):
        return 0


if __name__ == "__main__":
    sys.exit(main())
