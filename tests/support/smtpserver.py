#!/usr/bin/python3
"""An SMTP server for the mail tests: aiosmtpd on a free loopback port.

Prints "port=N" once it listens. Every accepted mail is stored as N.eml (as received,
dot-stuffing undone) and N.json, what Python's email package reads in it: the envelope,
the headers in order, each leaf part with its type, character set, transfer encoding,
file name and decoded bytes (hex), and every defect the parser found.
"""
import argparse
import asyncio
import email
import email.policy
import json
import logging
import os
import ssl
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def describe(raw, envelope, login):
    message = email.message_from_bytes(raw, policy=email.policy.default)
    parts = []
    defects = [type(d).__name__ for d in message.defects]
    for part in message.walk():
        defects += [type(d).__name__ for d in part.defects]
        if part.is_multipart():
            continue
        payload = part.get_payload(decode=True) or b""
        parts.append({
            "content_type": part.get_content_type(),
            "charset": part.get_content_charset(),
            "cte": part.get("Content-Transfer-Encoding"),
            "disposition": part.get_content_disposition(),
            "filename": part.get_filename(),
            "payload_hex": payload.hex(),
        })
    lines = raw.split(b"\r\n")
    return {
        "mail_from": envelope.mail_from,
        "rcpt_tos": envelope.rcpt_tos,
        "login": login,
        "headers": [[name, str(value)] for name, value in message.items()],
        "content_type": message.get_content_type(),
        "parts": parts,
        "defects": defects,
        "longest_line": max(len(line) for line in lines),
        "bare_line_feeds": raw.count(b"\n") - raw.count(b"\r\n"),
    }


class Store:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, str(self.count))
        raw = envelope.original_content
        login = session.auth_data.login.decode() if session.auth_data else None
        with open(base + ".eml", "wb") as out:
            out.write(raw)
        # The summary appears whole or not at all: the test may look at any moment.
        with open(base + ".tmp", "w") as out:
            json.dump(describe(raw, envelope, login), out)
        os.replace(base + ".tmp", base + ".json")
        return "250 2.0.0 Message accepted"


class NoEhlo(SMTP):
    async def smtp_EHLO(self, arg):
        await self.push("502 5.5.1 EHLO not implemented")


def tls_context(cert, key):
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    return context


async def serve(options):
    handler = Store(options.dir)
    users = {}
    if options.user:
        users[options.user.encode()] = options.password.encode()

    def authenticator(server, session, envelope, mechanism, data):
        ok = (isinstance(data, LoginPassword) and data.login in users
              and users[data.login] == data.password)
        return AuthResult(success=ok, handled=False, auth_data=data if ok else None)

    starttls = tls_context(*options.starttls) if options.starttls else None
    implicit = tls_context(*options.implicit_tls) if options.implicit_tls else None
    kind = NoEhlo if options.ehlo_502 else SMTP

    def factory():
        return kind(handler, hostname="smtp.gavelin.test", tls_context=starttls,
                    authenticator=authenticator if users else None,
                    auth_required=bool(users), auth_require_tls=False)

    loop = asyncio.get_running_loop()
    server = await loop.create_server(factory, "127.0.0.1", 0, ssl=implicit)
    print("port=%d" % server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--user")
    parser.add_argument("--password", default="")
    parser.add_argument("--ehlo-502", action="store_true")
    parser.add_argument("--starttls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--implicit-tls", nargs=2, metavar=("CERT", "KEY"))
    options = parser.parse_args()
    logging.basicConfig(level=logging.ERROR)
    # The tests use AUTH without TLS on purpose.
    warnings.filterwarnings("ignore", message="Requiring AUTH while not requiring TLS")
    try:
        asyncio.run(serve(options))
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
