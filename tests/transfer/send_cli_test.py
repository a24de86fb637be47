"""End-to-end checks of `tgw send`: real sockets and a pseudo-terminal as the device."""
import os
import re
import socket
import subprocess
import sys
import threading
import unittest

TGW = sys.argv.pop(1)
GB16 = ["--font-kind", "gb2312-16", "--width", "16", "--height", "16"]
STAMP = r"\[[0-5]\d:[0-5]\d\.\d{3}\] "
REPLY = b"\x06\x41\x0d"


def tgw(*args):
    return subprocess.run([TGW, *args], capture_output=True, timeout=60)


def framed(data, size, header, tail):
    """Packets of `size` payload bytes, each with a sum checksum over its payload."""
    out = b""
    for i in range(0, len(data), size):
        piece = data[i:i + size]
        out += header + piece + bytes([sum(piece) % 256]) + tail
    return out


FRAMING = ["--header1", "aa 55", "--tail-bytes", "0d", "--checksum", "sum", "--checksum-from", "data",
           "--packet-size", "40"]


class Send(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.data = tgw("export", *GB16, "--format", "bin", "中文").stdout
        assert len(cls.data) == 64
        cls.expected = framed(cls.data, 40, b"\xaa\x55", b"\x0d")

    def replying_peer(self):
        """A TCP peer that takes the two packets and answers each; (server, thread, received)."""
        server = socket.create_server(("127.0.0.1", 0))
        got = bytearray()

        def peer():
            conn, _ = server.accept()
            with conn:
                for end in (44, 44 + 28):  # the two packets: 40 and 24 payload bytes
                    while len(got) < end:
                        got.extend(conn.recv(4096))
                    conn.sendall(REPLY)

        t = threading.Thread(target=peer)
        t.start()
        return server, t, got

    def test_tcp_packets_and_reply_log(self):
        server, t, got = self.replying_peer()
        r = tgw("send", "tcp", *GB16, "中文", *FRAMING, "--port", str(server.getsockname()[1]),
                "--timeout", "300")
        t.join()
        server.close()
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(bytes(got), self.expected)
        self.assertRegex(r.stdout.decode(), f"^{STAMP}06 41 0D \n{STAMP}06 41 0D \n$")

    def test_a_reply_log_that_cannot_be_written_is_a_failure(self):
        server, t, got = self.replying_peer()
        with open("/dev/full", "wb") as full:
            r = subprocess.run([TGW, "send", "tcp", *GB16, "中文", *FRAMING, "--port",
                                str(server.getsockname()[1]), "--timeout", "300"],
                               stdout=full, stderr=subprocess.PIPE, timeout=60)
        t.join()
        server.close()
        self.assertEqual(bytes(got), self.expected)  # the transfer itself went through
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertIn(b"standard output", r.stderr)

    def flooding_peer(self, reply_bytes):
        """A TCP peer that answers the one packet with `reply_bytes` bytes of replies, in
        chunks as fast as it can, then closes; it gives up as soon as tgw stops reading."""
        server = socket.create_server(("127.0.0.1", 0))

        def peer():
            conn, _ = server.accept()
            with conn:
                conn.settimeout(20)
                got = 0
                while got < 64 + 3:
                    got += len(conn.recv(4096))
                chunk = bytes(range(256)) * 16
                try:
                    for i in range(0, reply_bytes, len(chunk)):
                        conn.sendall(chunk[:reply_bytes - i])
                except OSError:
                    pass  # tgw has closed the connection

        t = threading.Thread(target=peer)
        t.start()
        return server, t

    def test_all_replies_of_a_peer_that_keeps_replying_are_cut_at_one_mib(self):
        for reply_bytes, cut in ((1 << 20, False), (3 << 20, True)):
            with self.subTest(reply_bytes=reply_bytes):
                server, t = self.flooding_peer(reply_bytes)
                r = tgw("send", "tcp", *GB16, "中文", "--header1", "aa 55", "--tail-bytes", "0d",
                        "--packet-size", "64", "--all-replies", "--timeout", "1000", "--port",
                        str(server.getsockname()[1]))
                t.join()
                server.close()
                self.assertEqual(r.returncode, 0, r.stderr)
                log = r.stdout.decode()
                self.assertEqual(log.count("\n"), 1, log[-200:])
                self.assertRegex(log[:12], f"^{STAMP}$")
                note = "（应答超过 1048576 字节，其余未记录）\n"
                self.assertEqual(log.endswith(note), cut, log[-200:])
                logged = log[12:len(log) - len(note) if cut else -1]
                self.assertEqual(len(logged), 3 << 20)  # "XX " for each of 1 MiB
                self.assertTrue(logged.startswith("00 01 02 "), logged[:20])

    def test_serial_over_a_pseudo_terminal(self):
        master, slave = os.openpty()
        got = bytearray()

        def device():
            while len(got) < len(self.expected):
                got.extend(os.read(master, 4096))

        t = threading.Thread(target=device)
        t.start()
        r = tgw("send", "serial", *GB16, "中文", *FRAMING, "--port", os.ttyname(slave), "--no-reply")
        t.join()
        os.close(master)
        os.close(slave)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(bytes(got), self.expected)
        self.assertEqual(r.stdout, b"")
        self.assertEqual(r.stderr.decode(), "数据发送成功！\n")

    def test_udp_to_a_port_where_nothing_listens(self):
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        # Each silent packet is a time-out line of its own, as the serial log writes it.
        r = tgw("send", "udp", *GB16, "中文", "--port", str(port), "--timeout", "50",
                "--packet-size", "32")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertRegex(r.stdout.decode(), f"^({STAMP}接收应答数据失败 / 应答超时。\n){{2}}$")

    def test_failures(self):
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        r = tgw("send", "tcp", *GB16, "中", "--port", str(port))
        self.assertEqual(r.returncode, 1)
        self.assertEqual(len(r.stderr.splitlines()), 1)
        self.assertIn(f"连接 127.0.0.1:{port} 失败，请检查！", r.stderr.decode())

        r = tgw("send", "serial", *GB16, "中", "--port", "/dev/tgw-no-such-port")
        self.assertEqual(r.returncode, 1)
        self.assertIn("串口打开失败，请检查后再重试！", r.stderr.decode())

        # Malformed options are usage errors that name the option; nothing is opened.
        r = tgw("send", "tcp", *GB16, "中", "--port", str(port), "--header1", "AA 0G")
        self.assertEqual(r.returncode, 2)
        self.assertIn("--header1", r.stderr.decode())
        r = tgw("send", "udp", *GB16, "中", "--port", str(port), "--host", "192.168.1")
        self.assertEqual(r.returncode, 2)


if __name__ == "__main__":
    unittest.main()
