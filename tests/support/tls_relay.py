#!/usr/bin/env python3
"""TLS in front of a plain local test server, for the Windows tests run under Wine.

Wine's Schannel can be a TLS client but not a server, so the Windows test build serves plain
HTTP and starts this relay: it listens on 127.0.0.1 with the test certificate and copies bytes
both ways between each TLS client and the plain server.

It first connects to the lifeline port of the test process and writes its own port there as
one line. It ends as soon as that connection closes: when the test's server stops, or when the
test process dies and takes its sockets with it.

usage: tls_relay.py CERT_FILE KEY_FILE SERVER_PORT LIFELINE_PORT
"""

import os
import select
import socket
import ssl
import sys
import threading


def relay(client, server_port, context):
    try:
        with context.wrap_socket(client, server_side=True) as tls, socket.create_connection(
            ("127.0.0.1", server_port)
        ) as plain:
            while True:
                # Bytes already decrypted wait inside the TLS object, where select cannot see.
                if not tls.pending():
                    select.select([tls, plain], [], [])
                if tls.pending() or _readable(tls):
                    data = tls.recv(65536)
                    if not data:
                        return
                    plain.sendall(data)
                if _readable(plain):
                    data = plain.recv(65536)
                    if not data:
                        return
                    tls.sendall(data)
    except (OSError, ssl.SSLError):
        pass  # a client that refuses the certificate, or either side hanging up
    finally:
        client.close()


def _readable(sock):
    return bool(select.select([sock], [], [], 0)[0])


def main():
    cert_file, key_file, server_port, lifeline_port = sys.argv[1:5]
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert_file, key_file)
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    lifeline = socket.create_connection(("127.0.0.1", int(lifeline_port)))
    lifeline.sendall(b"%d\n" % listener.getsockname()[1])
    while True:
        ready = select.select([listener, lifeline], [], [])[0]
        if lifeline in ready:
            try:
                if not lifeline.recv(1):
                    break
            except OSError:
                break
        if listener in ready:
            client, _ = listener.accept()
            threading.Thread(
                target=relay, args=(client, int(server_port), context), daemon=True
            ).start()
    # Relays still running end with the process.
    os._exit(0)


if __name__ == "__main__":
    main()
