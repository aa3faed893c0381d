#!/usr/bin/env python3
"""A small feed server on 127.0.0.1 for the download tests and the benchmark.

Prints "http PORT" (and "ftp PORT" with --ftp ROOT) on stdout once it listens, then serves
until it is killed.

  /feed/NAME        200, a small RSS document naming NAME
  /site/NAME        200, an HTML page announcing /feed/NAME (and a translation of itself)
  /size/N[/ANY]     200, N bytes of an RSS document
  /status/N         status N with an HTML error page
  /redirect/N       a chain of N redirects ending at /feed/redirected
  /loop             a redirect to itself
  /stall            announces 1000 bytes, sends 10, then nothing
  /silent           sends nothing at all
  /endless          a body that never ends
  /gzip             a gzip-compressed body
  /chunked          a chunked body
  /empty            200 with no body
  /headers          the request headers as the body
  /path/ANY         the request line's path, as the server received it, as the body
  /trickle          announces 100000 bytes and sends one every 50 ms
  /delay/MS/ANY     a small feed after MS milliseconds
  /etag/NAME        a feed with an ETag and a Last-Modified date; 304 when the request's
                    If-None-Match names that ETag
  /cond/MS/N/NAME   after MS milliseconds, the same with an N-byte feed; 304 also when
                    If-Modified-Since is that date (the benchmark's second run)

With --hosts N the same port is served on 127.0.0.1 to 127.0.0.N (the benchmark's hosts).
"""
import gzip
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def feed(name, size=0):
    head = ('<?xml version="1.0" encoding="utf-8"?>\n<rss version="2.0"><channel><title>%s'
            '</title>' % name).encode()
    tail = b'</channel></rss>\n'
    pad = max(0, size - len(head) - len(tail))
    return head + (b'<!--' + b'x' * max(0, pad - 7) + b'-->' if pad >= 7 else b' ' * pad) + tail


class Handler(BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def log_message(self, *args):
        pass

    def send_body(self, body, status=200, headers=()):
        self.send_response(status)
        self.send_header('Content-Type', 'application/rss+xml')
        self.send_header('Content-Length', str(len(body)))
        for k, v in headers:
            self.send_header(k, v)
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, where):
        self.send_response(302)
        self.send_header('Location', where)
        self.send_header('Content-Length', '0')
        self.end_headers()

    def do_GET(self):
        parts = self.path.split('?')[0].split('/')
        kind = parts[1] if len(parts) > 1 else ''
        arg = parts[2] if len(parts) > 2 else ''
        try:
            if kind == 'feed':
                self.send_body(feed(arg))
            elif kind == 'site':
                self.send_body(('<html><head><link rel="alternate" hreflang="de" href="/de/">'
                                '<link rel="alternate" type="application/rss+xml" href="../feed/%s">'
                                '</head><body>site</body></html>' % arg).encode())
            elif kind == 'size':
                self.send_body(feed('size', int(arg)))
            elif kind == 'status':
                self.send_body(b'<html><body>error page</body></html>', int(arg))
            elif kind == 'redirect':
                n = int(arg)
                self.redirect('/redirect/%d' % (n - 1) if n > 0 else '/feed/redirected')
            elif kind == 'loop':
                self.redirect('/loop')
            elif kind in ('stall', 'silent'):
                if kind == 'stall':
                    self.send_response(200)
                    self.send_header('Content-Length', '1000')
                    self.end_headers()
                    self.wfile.write(b'<rss versi')
                    self.wfile.flush()
                time.sleep(30)
            elif kind == 'endless':
                self.send_response(200)
                self.send_header('Connection', 'close')
                self.end_headers()
                block = b'<item>' * 10000
                for _ in range(100000):
                    self.wfile.write(block)
            elif kind == 'gzip':
                self.send_body(gzip.compress(feed('gzipped')), headers=[('Content-Encoding', 'gzip')])
            elif kind == 'chunked':
                self.send_response(200)
                self.send_header('Transfer-Encoding', 'chunked')
                self.end_headers()
                body = feed('chunked', 5000)
                for i in range(0, len(body), 700):
                    piece = body[i:i + 700]
                    self.wfile.write(b'%x\r\n%s\r\n' % (len(piece), piece))
                self.wfile.write(b'0\r\n\r\n')
            elif kind == 'empty':
                self.send_body(b'')
            elif kind == 'headers':
                self.send_body(str(self.headers).encode())
            elif kind == 'path':
                self.send_body(self.path.encode())
            elif kind == 'trickle':
                self.send_response(200)
                self.send_header('Content-Length', '100000')
                self.end_headers()
                for _ in range(100000):
                    self.wfile.write(b' ')
                    self.wfile.flush()
                    time.sleep(0.05)
            elif kind == 'delay':
                time.sleep(int(arg) / 1000.0)
                self.send_body(feed('delayed'))
            elif kind in ('etag', 'cond'):
                name, size = arg, 0
                if kind == 'cond':
                    time.sleep(int(arg) / 1000.0)
                    size, name = int(parts[3]), parts[4]
                tag = '"v-%s"' % name
                modified = 'Mon, 07 Dec 2026 00:00:00 GMT'
                if self.headers.get('If-None-Match') == tag or (
                        kind == 'cond' and self.headers.get('If-Modified-Since') == modified):
                    self.send_response(304)
                    self.send_header('ETag', tag)
                    self.end_headers()
                else:
                    self.send_body(feed(name, size),
                                   headers=[('ETag', tag), ('Last-Modified', modified)])
            else:
                self.send_body(b'not found', 404)
        except (BrokenPipeError, ConnectionResetError):
            pass


def serve_ftp(root):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
    import logging
    logging.getLogger('pyftpdlib').setLevel(logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(root)
    handler = FTPHandler
    handler.authorizer = authorizer
    server = FTPServer(('127.0.0.1', 0), handler)
    print('ftp %d' % server.address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()


class Server(ThreadingHTTPServer):
    daemon_threads = True
    request_queue_size = 128


def main():
    httpd = Server(('127.0.0.1', 0), Handler)
    port = httpd.server_address[1]
    print('http %d' % port, flush=True)
    if len(sys.argv) == 3 and sys.argv[1] == '--ftp':
        serve_ftp(sys.argv[2])
    if len(sys.argv) == 3 and sys.argv[1] == '--hosts':
        for n in range(2, int(sys.argv[2]) + 1):
            other = Server(('127.0.0.%d' % n, port), Handler)
            threading.Thread(target=other.serve_forever, daemon=True).start()
    httpd.serve_forever()


if __name__ == '__main__':
    main()
