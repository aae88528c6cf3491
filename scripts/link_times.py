#!/usr/bin/env python3
"""Measures how long start-up and exit of the recorder take against a head office that is dead, silent or
crawling (2 bytes a second), with the default time limits. Runs the simulator against tests/support/ftp_server.py
on 127.0.0.1 and prints one row per server.

    scripts/link_times.py build/dev/src/timerecorder-sim
"""
import os
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "tests", "support", "ftp_server.py")
SCRIPT = b"time 2016-12-08 09:00:00\nstart\nshow\nclick cmd_Func\n"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_server(home, args):
    os.makedirs(os.path.join(home, "sub"), exist_ok=True)
    for name in ("E99_member.csv", "S01_SHIFT.csv"):
        with open(os.path.join(home, "sub", name), "wb") as f:
            f.write(b"101,member,0123456789ABCDEF\r\n" * 70)  # about 2 KB
    proc = subprocess.Popen(["/usr/bin/python3", SERVER, "--home", home] + args, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL)
    port = int(proc.stdout.readline().split()[1])
    return proc, port


def measure(sim, port):
    with tempfile.TemporaryDirectory() as root:
        os.makedirs(os.path.join(root, "zerbanto"))
        with open(os.path.join(root, "zerbanto", "action01.txt"), "wb") as f:
            f.write("会社名= Corvale\r\n店舗CD = T01\r\n店舗名 = 第一店\r\n".encode("cp932"))
        with open(os.path.join(root, "zerbanto", "E99_member.csv"), "wb") as f:
            f.write(b"101,member,0123456789ABCDEF\r\n")
        t0 = time.monotonic()
        proc = subprocess.Popen([sim, "--root", root, "--server", "127.0.0.1", "--ftp-port", str(port)],
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        proc.stdin.write(SCRIPT)
        proc.stdin.close()
        started = None
        for line in proc.stdout:
            if b'"event":"state"' in line and started is None:
                started = time.monotonic() - t0
        proc.wait()
        return started, time.monotonic() - t0 - started


def main():
    sim = sys.argv[1]
    print("| server | start-up | exit |\n|---|---|---|")
    for name, args in (("dead (nothing listens)", None), ("silent (accepts, never answers)", ["--mode", "silent"]),
                       ("crawling (2 bytes a second)", ["--crawl-retr", "2"])):
        with tempfile.TemporaryDirectory() as home:
            proc, port = (None, free_port()) if args is None else start_server(home, args)
            try:
                up, down = measure(sim, port)
            finally:
                if proc:
                    proc.kill()
                    proc.wait()
        print("| %s | %.1f s | %.1f s |" % (name, up, down), flush=True)


if __name__ == "__main__":
    main()
