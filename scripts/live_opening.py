#!/usr/bin/env python3
"""A made-up Es opening for the live window's screenshots, on 127.0.0.1 only.

  live_opening.py lines DIR      writes DIR/cluster.txt (DX lines for ionvane-fakenode) and
                                 DIR/feed.capture (feed reports for ionvane_feed_publisher)
  live_opening.py wsjtx PORT N   sends WSJT-X heartbeat, status and N decodes to 127.0.0.1:PORT
"""
import socket
import struct
import sys
import time

# Clouds of the opening: (from, to, MHz) paths whose centres group in a few places.
PATHS = [
    ("IO90IR", "JN77EX", 50.110), ("IO91WM", "JN76TO", 50.150), ("IO81XA", "JN77HB", 50.313),
    ("IO83QO", "JN88NC", 70.200), ("JO01MM", "JN75EX", 144.174), ("JO02AF", "JN76DD", 144.300),
    ("IN80DO", "JN61FW", 50.313), ("IN70XK", "JN52QR", 50.280), ("IM58KR", "JN23RH", 50.313),
    ("JO65DQ", "KN34BK", 50.313), ("JO62QM", "KN15MS", 70.150), ("JO65FR", "KN23ST", 50.200),
    ("IO63VI", "JN03TJ", 50.110), ("JO59JW", "JN55VF", 50.313), ("KP20LE", "JO92LF", 50.313),
]


def hhmm():
    return time.strftime("%H%M", time.gmtime())


def write_lines(folder):
    with open(f"{folder}/cluster.txt", "w") as out:
        for i, (a, b, mhz) in enumerate(PATHS):
            khz = f"{mhz * 1000:.1f}"
            out.write(f"DX de G4ABC:{khz:>14}  S5{i}ABC       {a}<ES>{b} {hhmm()}Z\n")
    with open(f"{folder}/feed.capture", "w") as out:
        now = int(time.time())
        stamp = time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(now))
        seq = 9000
        for repeat in range(40):
            for a, b, mhz in PATHS:
                band = "2m" if mhz > 140 else "4m" if mhz > 69 else "6m"
                hz = int(mhz * 1e6) + 100 * repeat
                seq += 1
                topic = f"pskr/filter/v2/{band}/FT8/EA{repeat}XX/DL{repeat}YY/{a}/{b}/223/230"
                payload = (f'{{"sq":{seq},"f":{hz},"md":"FT8","rp":-9,"t":{now},'
                           f'"sc":"EA{repeat}XX","sl":"{a}","rc":"DL{repeat}YY","rl":"{b}",'
                           f'"b":"{band}"}}')
                out.write(f"{stamp}\tMQTT {topic} {payload}\n")


def text(value):
    if value is None:
        return struct.pack(">I", 0xFFFFFFFF)
    data = value.encode()
    return struct.pack(">I", len(data)) + data


def header(kind):
    return struct.pack(">III", 0xADBCCBDA, 2, kind) + text("WSJT-X")


def send_wsjtx(port, count):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    target = ("127.0.0.1", port)
    sock.sendto(header(0) + struct.pack(">I", 3) + text("2.6.1") + text("d1e2f3"), target)
    status = (header(1) + struct.pack(">Q", 50313000) + text("FT8") + text(None) + text(None)
              + text("FT8") + struct.pack(">???II", False, False, True, 1500, 1500)
              + text("G4XYZ") + text("IO90") + text(None) + struct.pack(">?", False) + text(None)
              + struct.pack(">?BII", False, 0, 10, 15) + text("Default") + text(None))
    # Each call once: the same call on the same band within 2 minutes counts once.
    calls = [(f"{prefix}{i}AB", grid) for i, (prefix, grid) in enumerate(
        [("S5", "JN76"), ("9A", "JN75"), ("OE", "JN88"), ("I", "JN54"), ("EA", "JM19"),
         ("HA", "JN97"), ("S5", "JN65"), ("9A", "JN86"), ("OK", "JN89"), ("OM", "JN98"),
         ("I", "JN63"), ("EA", "JN11"), ("F", "JN03"), ("HB", "JN47"), ("DL", "JN58"),
         ("YU", "KN04")])]
    for i in range(count):
        sock.sendto(status, target)
        call, grid = calls[i % len(calls)]
        ms = (int(time.time()) % 86400) * 1000
        decode = (header(2) + struct.pack(">?IidI", True, ms, -12, 0.1, 1200 + 37 * i)
                  + text("~") + text(f"CQ {call} {grid}") + struct.pack(">??", False, False))
        sock.sendto(decode, target)
        time.sleep(0.5)


if __name__ == "__main__":
    if sys.argv[1] == "lines":
        write_lines(sys.argv[2])
    else:
        send_wsjtx(int(sys.argv[2]), int(sys.argv[3]))
