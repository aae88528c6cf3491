"""FTP server for the recorder's tests, on 127.0.0.1 only.

Prints "PORT <n>" once it listens on a free port, then serves until it is killed.
Modes:
  normal  pyftpdlib with one account whose home is --home (the tests make home/sub)
  silent  accepts connections and never says a word
Faults of the normal mode:
  --close-after-stores N  after N uploads, drops the connection at the next STOR
  --stall-retr            answers RETR, sends half the file and then nothing more
  --no-size               announces no sizes (SIZE refused, none in the 150 reply)
  --cut-retr N            sends only the first N bytes of a file and reports the transfer complete
  --crawl-retr RATE       sends files at RATE bytes a second
  --refuse-store NAME     refuses an upload of NAME with 553 and keeps the connection
"""
import argparse
import socket
import sys
import time


def serve_silent():
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    print("PORT %d" % listener.getsockname()[1], flush=True)
    held = []
    while True:
        conn, _ = listener.accept()
        held.append(conn)


def serve_ftp(args):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.home, perm="elradfmwMT")

    class Handler(FTPHandler):
        stores = 0

        def ftp_STOR(self, file, mode="w"):
            if args.refuse_store and file.endswith("/" + args.refuse_store):
                self.respond("553 Could not create file.")
                return None
            if args.close_after_stores >= 0 and Handler.stores >= args.close_after_stores:
                self.close()
                return None
            Handler.stores += 1
            return super().ftp_STOR(file, mode)

        def ftp_SIZE(self, path):
            if args.no_size:
                self.respond("502 Command not implemented.")
                return None
            return super().ftp_SIZE(path)

        def ftp_RETR(self, file):
            if not (args.stall_retr or args.cut_retr >= 0 or args.crawl_retr > 0):
                return super().ftp_RETR(file)
            with open(file, "rb") as f:
                data = f.read()
            self.respond("150 File status okay. About to open data connection.")
            if args.stall_retr:
                self.send_later(data[: len(data) // 2], close=False)
            elif args.cut_retr >= 0:
                self.send_later(data[: args.cut_retr], close=True)
            else:
                self.crawl(data)
            return file

        # Pushes bytes on the data channel once it is open; close reports the transfer complete.
        def send_later(self, chunk, close):
            def send():
                if self.data_channel is None:
                    self.ioloop.call_later(0.05, send)
                    return
                self.data_channel.push(chunk)
                if close:
                    self.data_channel.close_when_done()

            self.ioloop.call_later(0.05, send)

        def crawl(self, data):
            step = max(1, args.crawl_retr // 10)
            pause = step / args.crawl_retr

            def send(offset):
                if self.data_channel is None:
                    self.ioloop.call_later(0.05, send, offset)
                    return
                self.data_channel.push(data[offset : offset + step])
                if offset + step >= len(data):
                    self.data_channel.close_when_done()
                else:
                    self.ioloop.call_later(pause, send, offset + step)

            self.ioloop.call_later(0.05, send, 0)

    Handler.authorizer = authorizer
    Handler.banner = "recorder test server ready."
    server = FTPServer(("127.0.0.1", 0), Handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mode", choices=["normal", "silent"], default="normal")
    parser.add_argument("--home", default=".")
    parser.add_argument("--user", default="upload")
    parser.add_argument("--password", default="Pelmora583920")
    parser.add_argument("--close-after-stores", type=int, default=-1)
    parser.add_argument("--stall-retr", action="store_true")
    parser.add_argument("--no-size", action="store_true")
    parser.add_argument("--cut-retr", type=int, default=-1)
    parser.add_argument("--crawl-retr", type=int, default=0)
    parser.add_argument("--refuse-store", default="")
    args = parser.parse_args()
    if args.mode == "silent":
        serve_silent()
    else:
        serve_ftp(args)


if __name__ == "__main__":
    sys.exit(main())
