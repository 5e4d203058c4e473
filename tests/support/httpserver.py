#!/usr/bin/env python3
"""The local HTTP server of the tests: 127.0.0.1 only, a free port, scripted behaviours chosen by path.

  start --port-file F --pid-file P --root DIR   runs in the background; returns once the port is written
  stop  --port-file F --pid-file P              ends it
  serve --root DIR [--port N]                   runs in the foreground (for trying things by hand)

Paths:
  /files/<path>                  a file under DIR: Range (206), If-Modified-Since (304), Last-Modified
  /text/<n>                      n bytes of text; Range honoured
  /status/<code>                 an empty answer with that status
  /basic/<user>/<password>/<rest>   401 with a Basic challenge until the credentials match, then <rest> as /text
  /basic-redirect/<user>/<password>/<path>   401 until the credentials match, then 302 to the percent-encoded path
  /basic-echo                    401 with a Basic challenge until Authorization comes, then its value as the body
  /slow/<n>/<ms>                 n bytes sent in 64-byte chunks, ms apart (bounded: at most 30 s in all)
  /slow-unsized/<n>/<ms>         as /slow, without Content-Length: the end of the body is the connection's close
  /truncated/<announced>/<sent>  announces announced bytes, sends sent, then closes
  /oversized/<announced>/<sent>  announces announced bytes, sends more
  /redirect/<n>                  302 n times, then 200 "done"
  /redirect-loop                 302 to itself
  /endless-headers/<ms>          a status line, then a header line every ms without end (at most 30 s)
  /endless-headers/0/same        the same, as fast as they go, every line one header of one name
  /drip-headers/<ms>             the status line and headers one byte at a time, ms apart (at most 30 s), then "done"
  /chunked/<how>/<path>          a file under DIR in chunks of 100 bytes; how: whole, cut (closed inside a chunk),
                                 bad (a chunk size that is not hex), nolast (closed without the last chunk)
  /redirect-to/<url>             302 to the percent-encoded absolute url
  /drip/<n>/<ms>                 n bytes announced, sent one byte at a time, ms apart (at most 30 s in all)
  /unsized/<n>                   n bytes as fast as they go, without Content-Length; the close ends the body
  /ignore-range/<n>              n bytes, 200, whatever Range asks
  /garbage                       a status line and headers that are not HTTP
  /silent/<ms>                   accepts and answers nothing for ms (at most 30 s), then closes
  /echo                          POST: the body back, with X-Echo-Content-Type and X-Echo-Method
  /query                         the query string back as the body
  /partial/<n>                   n bytes as a 206 answer covering the whole body, whatever Range asks
  /header/<name>                 the value of that request header as the body (empty when absent)
  /favicon.ico                   a small icon (the bytes of FAVICON below)
  /stats/<key>/<status>/<reply>  POST: kept under key; answers status with the reply (percent-decoded)
  /stats-seen/<key>              the last POST to /stats/<key>: method, Content-Type and body, one per line
  /delayed/<key>/<ms>/<name>     after ms (at most 30 s), an RSS feed titled name with two items; requests under
                                 one key are counted: how many at once, the most at once, and their order
  /delayed-seen/<key>            "<most at once> <still open> <answered>" and then the names in arrival order
  /search-feed                   an RSS feed whose channel title is the raw query string
A request in absolute form (the server used as a proxy) needs Proxy-Authorization Basic proxyuser:proxypass
(else 407), then the path is served as above.
"""
import argparse
import base64
import email.utils
import os
import signal
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import unquote_to_bytes, urlsplit

MAX_DELAY_S = 30.0
PROXY_CREDENTIALS = 'proxyuser:proxypass'


def text_body(n):
    pattern = b'Lanternquill test body 0123456789.\n'
    return (pattern * (n // len(pattern) + 1))[:n]


class Handler(BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'
    server_version = 'LanternquillTest/1.0'

    def log_message(self, fmt, *args):
        pass

    # -- helpers ----------------------------------------------------------------------------------------

    def send_body(self, status, body, content_type='text/plain', headers=None):
        self.send_response(status)
        self.send_header('Content-Type', content_type)
        self.send_header('Content-Length', str(len(body)))
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        self.end_headers()
        if self.command != 'HEAD':
            self.wfile.write(body)

    def send_ranged(self, data, last_modified=None, content_type='text/plain'):
        headers = {'Accept-Ranges': 'bytes'}
        if last_modified is not None:
            headers['Last-Modified'] = email.utils.formatdate(last_modified, usegmt=True)
            since = self.headers.get('If-Modified-Since')
            if since:
                try:
                    when = email.utils.parsedate_to_datetime(since).timestamp()
                except (TypeError, ValueError):
                    when = None
                if when is not None and int(last_modified) <= int(when):
                    self.send_response(304)
                    self.send_header('Content-Length', '0')
                    self.send_header('Last-Modified', headers['Last-Modified'])
                    self.end_headers()
                    return
        rng = self.headers.get('Range')
        if rng and rng.startswith('bytes='):
            first, _, last = rng[6:].partition('-')
            try:
                start = int(first)
                end = int(last) if last else len(data) - 1
            except ValueError:
                start, end = -1, -1
            if 0 <= start < len(data) and start <= end:
                end = min(end, len(data) - 1)
                headers['Content-Range'] = 'bytes %d-%d/%d' % (start, end, len(data))
                self.send_body(206, data[start:end + 1], content_type, headers)
                return
            headers['Content-Range'] = 'bytes */%d' % len(data)
            self.send_body(416, b'', content_type, headers)
            return
        self.send_body(200, data, content_type, headers)

    def check_basic(self, header, expected):
        value = self.headers.get(header, '')
        if not value.startswith('Basic '):
            return False
        try:
            return base64.b64decode(value[6:]).decode('latin-1') == expected
        except (ValueError, UnicodeDecodeError):
            return False

    # -- dispatch ---------------------------------------------------------------------------------------

    def do_HEAD(self):
        self.do_GET()

    def do_POST(self):
        self.do_GET()

    def do_GET(self):
        target = self.path
        if '://' in target.split('?')[0]:
            if not self.check_basic('Proxy-Authorization', PROXY_CREDENTIALS):
                self.send_body(407, b'proxy authentication required',
                               headers={'Proxy-Authenticate': 'Basic realm="lanternquill-proxy"'})
                return
            parts = urlsplit(target)
            target = parts.path + ('?' + parts.query if parts.query else '')
        path, _, query = target.partition('?')
        segments = [s for s in path.split('/') if s]
        if not segments:
            self.send_body(200, b'Lanternquill test server\n')
            return
        handler = getattr(self, 'route_' + segments[0].replace('-', '_'), None)
        if handler is None:
            self.send_body(404, b'not found')
            return
        try:
            handler(segments[1:], query)
        except (ValueError, IndexError):
            self.send_body(400, b'bad test path')

    def route_files(self, rest, _query):
        root = os.path.realpath(self.server.root)
        full = os.path.realpath(os.path.join(root, *rest))
        if not full.startswith(root + os.sep) or not os.path.isfile(full):
            self.send_body(404, b'not found')
            return
        with open(full, 'rb') as f:
            data = f.read()
        ctype = 'text/xml' if full.endswith(('.xml', '.rss', '.atom', '.rdf')) else 'application/octet-stream'
        self.send_ranged(data, os.path.getmtime(full), ctype)

    def route_text(self, rest, _query):
        self.send_ranged(text_body(int(rest[0])), 1700000000)

    def route_status(self, rest, _query):
        self.send_body(int(rest[0]), b'')

    def route_basic(self, rest, _query):
        user, password = rest[0], rest[1]
        if not self.check_basic('Authorization', user + ':' + password):
            self.send_body(401, b'authorization required',
                           headers={'WWW-Authenticate': 'Basic realm="lanternquill"'})
            return
        self.send_body(200, text_body(int(rest[2]) if len(rest) > 2 else 100))

    def route_basic_feed(self, rest, _query):
        # A feed behind Basic credentials: /basic-feed/<user>/<password>/<title>.
        if not self.check_basic('Authorization', rest[0] + ':' + rest[1]):
            self.send_body(401, b'authorization required',
                           headers={'WWW-Authenticate': 'Basic realm="lanternquill"'})
            return
        self.send_body(200, rss_feed(rest[2]), 'text/xml')

    def route_query_feed(self, _rest, query):
        # A feed whose title is the query it was asked with.
        self.send_body(200, rss_feed(query.replace('&', '&amp;') or 'none'), 'text/xml')

    def route_basic_redirect(self, rest, _query):
        if not self.check_basic('Authorization', rest[0] + ':' + rest[1]):
            self.send_body(401, b'authorization required',
                           headers={'WWW-Authenticate': 'Basic realm="lanternquill"'})
            return
        self.send_body(302, b'', headers={'Location': unquote_to_bytes(rest[2]).decode('latin-1')})

    def route_basic_echo(self, _rest, _query):
        value = self.headers.get('Authorization', '')
        if not value:
            self.send_body(401, b'authorization required',
                           headers={'WWW-Authenticate': 'Basic realm="lanternquill"'})
            return
        self.send_body(200, value.encode('latin-1'))

    def send_text_head(self, length):
        """The head of a plain-text answer that announces length bytes, whatever is sent after it."""
        self.send_response(200)
        self.send_header('Content-Type', 'text/plain')
        self.send_header('Content-Length', str(length))
        self.end_headers()

    def write_slowly(self, data, size, delay):
        """Writes data size bytes at a time with a pause after each piece; false when the client went away."""
        try:
            for i in range(0, len(data), size):
                self.wfile.write(data[i:i + size])
                self.wfile.flush()
                time.sleep(delay)
        except OSError:
            return False
        return True

    def route_slow(self, rest, _query):
        n, delay = int(rest[0]), int(rest[1]) / 1000.0
        chunks = max(1, (n + 63) // 64)
        delay = min(delay, MAX_DELAY_S / chunks)
        self.send_text_head(n)
        self.write_slowly(text_body(n), 64, delay)

    def route_slow_unsized(self, rest, _query):
        n, delay = int(rest[0]), int(rest[1]) / 1000.0
        delay = min(delay, MAX_DELAY_S / max(1, (n + 63) // 64))
        self.send_response(200)
        self.send_header('Content-Type', 'text/plain')
        self.send_header('Connection', 'close')
        self.end_headers()
        self.close_connection = True
        self.write_slowly(text_body(n), 64, delay)

    def route_truncated(self, rest, _query):
        announced, sent = int(rest[0]), int(rest[1])
        self.send_text_head(announced)
        self.wfile.write(text_body(sent))
        self.wfile.flush()
        self.close_connection = True
        self.connection.shutdown(socket.SHUT_RDWR)

    def route_oversized(self, rest, _query):
        announced, sent = int(rest[0]), int(rest[1])
        self.send_text_head(announced)
        self.wfile.write(text_body(sent))
        self.close_connection = True

    def route_redirect(self, rest, _query):
        n = int(rest[0])
        if n <= 0:
            self.send_body(200, b'done')
            return
        self.send_body(302, b'', headers={'Location': '/redirect/%d' % (n - 1)})

    def route_redirect_to(self, rest, _query):
        self.send_body(302, b'', headers={'Location': unquote_to_bytes(rest[0]).decode('latin-1')})

    def route_drip(self, rest, _query):
        n, delay = int(rest[0]), int(rest[1]) / 1000.0
        delay = min(delay, MAX_DELAY_S / max(1, n))
        self.send_text_head(n)
        self.close_connection = True
        self.write_slowly(text_body(n), 1, delay)

    def route_unsized(self, rest, _query):
        n = int(rest[0])
        self.send_response(200)
        self.send_header('Content-Type', 'text/plain')
        self.send_header('Connection', 'close')
        self.end_headers()
        self.close_connection = True
        block = text_body(1 << 20)
        try:
            for start in range(0, n, len(block)):
                self.wfile.write(block[:min(len(block), n - start)])
        except OSError:
            pass

    def route_chunked(self, rest, _query):
        how = rest[0]
        root = os.path.realpath(self.server.root)
        full = os.path.realpath(os.path.join(root, *rest[1:]))
        if not full.startswith(root + os.sep) or not os.path.isfile(full):
            self.send_body(404, b'not found')
            return
        with open(full, 'rb') as f:
            data = f.read()
        n = len(data)
        self.send_response(200)
        self.send_header('Content-Type', 'text/xml')
        self.send_header('Transfer-Encoding', 'chunked')
        self.end_headers()
        self.close_connection = True
        out = b''
        for start in range(0, n, 100):
            piece = data[start:start + 100]
            out += b'%x\r\n' % len(piece) + piece + b'\r\n'
        if how == 'cut':
            out = out[:len(out) // 2]
        elif how == 'bad':
            half = len(out) // 2
            out = out[:half - half % 106] + b'zz\r\n' + data[:100] + b'\r\n0\r\n\r\n'
        elif how != 'nolast':
            out += b'0\r\n\r\n'
        try:
            self.wfile.write(out)
            self.wfile.flush()
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass

    def route_endless_headers(self, rest, _query):
        delay = int(rest[0]) / 1000.0
        self.close_connection = True
        end = time.monotonic() + MAX_DELAY_S
        try:
            self.wfile.write(b'HTTP/1.1 200 OK\r\n')
            n = 0
            same = len(rest) > 1 and rest[1] == 'same'
            while time.monotonic() < end:
                if same:
                    self.wfile.write((b'X-Endless: ' + b'v' * 200 + b'\r\n') * 50)
                else:
                    self.wfile.write(b'X-Endless-%d: %s\r\n' % (n, b'v' * 200))
                n += 1
                if delay:
                    self.wfile.flush()
                    time.sleep(delay)
        except OSError:
            pass

    def route_drip_headers(self, rest, _query):
        delay = int(rest[0]) / 1000.0
        head = b'HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 4\r\nConnection: close\r\n\r\n'
        delay = min(delay, MAX_DELAY_S / len(head))
        self.close_connection = True
        if self.write_slowly(head, 1, delay):
            try:
                self.wfile.write(b'done')
            except OSError:
                pass

    def route_redirect_loop(self, _rest, _query):
        self.send_body(302, b'', headers={'Location': '/redirect-loop'})

    def route_ignore_range(self, rest, _query):
        self.send_body(200, text_body(int(rest[0])))

    def route_garbage(self, _rest, _query):
        self.wfile.write(b'HTTP/1.1 2x0 \xff\xfe\r\nthis is: not\x00 a header\r\n\r\n\xff\xff')
        self.close_connection = True

    def route_silent(self, rest, _query):
        time.sleep(min(int(rest[0]) / 1000.0, MAX_DELAY_S))
        self.close_connection = True

    def route_echo(self, _rest, _query):
        length = int(self.headers.get('Content-Length') or 0)
        body = self.rfile.read(length) if length > 0 else b''
        self.send_body(200, body, headers={
            'X-Echo-Content-Type': self.headers.get('Content-Type', ''),
            'X-Echo-Method': self.command,
        })

    def route_query(self, _rest, query):
        self.send_body(200, query.encode('latin-1'))

    def route_partial(self, rest, _query):
        data = text_body(int(rest[0]))
        self.send_body(206, data, headers={'Content-Range': 'bytes 0-%d/%d' % (len(data) - 1, len(data))})

    def route_header(self, rest, _query):
        self.send_body(200, self.headers.get(rest[0], '').encode('latin-1'))

    def route_stats(self, rest, _query):
        length = int(self.headers.get('Content-Length') or 0)
        body = self.rfile.read(length) if length > 0 else b''
        seen = b'\n'.join([self.command.encode('latin-1'),
                           self.headers.get('Content-Type', '').encode('latin-1'), body])
        with STATS_LOCK:
            STATS_SEEN[rest[0]] = seen
        reply = unquote_to_bytes(rest[2]) if len(rest) > 2 else b''
        self.send_body(int(rest[1]), reply)

    def route_delayed(self, rest, _query):
        key, ms, name = rest[0], int(rest[1]), rest[2]
        with DELAYED_LOCK:
            state = DELAYED.setdefault(key, {'open': 0, 'most': 0, 'answered': 0, 'order': []})
            state['open'] += 1
            state['most'] = max(state['most'], state['open'])
            state['order'].append(name)
        try:
            time.sleep(min(ms / 1000.0, MAX_DELAY_S))
            self.send_body(200, rss_feed(name), 'application/rss+xml')
        finally:
            with DELAYED_LOCK:
                state['open'] -= 1
                state['answered'] += 1

    def route_delayed_seen(self, rest, _query):
        with DELAYED_LOCK:
            state = DELAYED.get(rest[0], {'open': 0, 'most': 0, 'answered': 0, 'order': []})
            text = '%d %d %d\n%s' % (state['most'], state['open'], state['answered'], '\n'.join(state['order']))
        self.send_body(200, text.encode('utf-8'))

    def route_search_feed(self, _rest, query):
        title = query.replace('&', '&amp;').replace('<', '&lt;')
        self.send_body(200, rss_feed(title), 'application/rss+xml')

    def route_podcast_feed(self, rest, _query):
        # A feed with two enclosures on this server: /podcast-feed/<title>/<slow ms>. The newer item's enclosure
        # (<title>-one.lqcast, 3000 bytes) comes at once; the older one's (<title>-two.mp3, 64000 bytes) slowly.
        title, slow_ms = rest[0], int(rest[1])
        base = 'http://127.0.0.1:%d' % self.server.server_address[1]
        items = [
            ('%s one' % title, 'Thu, 10 Dec 2026 10:00:00 GMT', '%s/text/3000/%s-one.lqcast' % (base, title), 3000),
            ('%s two' % title, 'Wed, 09 Dec 2026 10:00:00 GMT',
             '%s/slow/64000/%d/%s-two.mp3' % (base, slow_ms, title), 64000),
        ]
        body = ''.join('<item><title>%s</title><link>%s/%s</link><pubDate>%s</pubDate>'
                       '<enclosure url="%s" length="%d" type="audio/mpeg"/></item>'
                       % (t, base, t.replace(' ', '-'), d, u, n) for t, d, u, n in items)
        feed = ('<?xml version="1.0" encoding="utf-8"?><rss version="2.0"><channel><title>%s</title>'
                '<link>%s/%s</link><description>Podcast %s</description>%s</channel></rss>'
                % (title, base, title, title, body))
        self.send_body(200, feed.encode('utf-8'), 'application/rss+xml')

    def route_stats_seen(self, rest, _query):
        with STATS_LOCK:
            seen = STATS_SEEN.get(rest[0])
        if seen is None:
            self.send_body(404, b'nothing posted')
        else:
            self.send_body(200, seen)

    def route_challenge(self, rest, _query):
        # /challenge/<scheme>: a 401 offering only that scheme; Basic credentials, whatever was offered, are
        # answered with a feed titled with them, so that a client that sends them shows it.
        value = self.headers.get('Authorization', '')
        if value.startswith('Basic '):
            self.send_body(200, rss_feed(value), 'application/rss+xml')
            return
        offers = {'basic': 'Basic realm="lanternquill"',
                  'digest': 'Digest realm="lanternquill", qop="auth", nonce="4c616e7465726e"',
                  'ntlm': 'NTLM', 'negotiate': 'Negotiate'}
        self.send_body(401, b'authorization required', headers={'WWW-Authenticate': offers[rest[0]]})

    def route_conn(self, rest, _query):
        # /conn/<key>/<name>[/<status>]: a small feed (or an empty answer with the status); the server counts the
        # requests and the distinct connections that asked under the key.
        key = rest[0]
        with CONN_LOCK:
            CONN_SEEN.setdefault(key, set()).add(self.client_address)
            CONN_REQUESTS[key] = CONN_REQUESTS.get(key, 0) + 1
        if len(rest) > 2:
            self.send_body(int(rest[2]), b'')
            return
        self.send_body(200, rss_feed(rest[1] if len(rest) > 1 else key), 'application/rss+xml')

    def route_big_feed(self, rest, _query):
        # /big-feed/<items>/<name>: a feed of that many items of about a kilobyte each, the same at every request.
        count, name = min(int(rest[0]), 50000), rest[1]
        text = 'Lorem ipsum dolor sit amet, consectetur adipiscing elit. ' * 16
        items = ''.join('<item><title>%s story %d</title><link>http://127.0.0.1/%s/%d</link>'
                        '<description>%s</description></item>' % (name, i, name, i, text) for i in range(count))
        body = ('<?xml version="1.0" encoding="utf-8"?><rss version="2.0"><channel><title>%s</title>'
                '<link>http://127.0.0.1/%s</link><description>Big %s</description>%s</channel></rss>'
                % (name, name, name, items)).encode('utf-8')
        self.send_body(200, body, 'application/rss+xml')

    def route_conn_seen(self, rest, _query):
        # "<connections> <requests>" seen under the key.
        with CONN_LOCK:
            text = '%d %d' % (len(CONN_SEEN.get(rest[0], ())), CONN_REQUESTS.get(rest[0], 0))
        self.send_body(200, text.encode('ascii'))


STATS_SEEN = {}
STATS_LOCK = threading.Lock()
DELAYED = {}
DELAYED_LOCK = threading.Lock()
CONN_SEEN = {}
CONN_REQUESTS = {}
CONN_LOCK = threading.Lock()


def rss_feed(title, count=2):
    items = ''.join('<item><title>%s item %d</title><link>http://127.0.0.1/%s/%d</link>'
                    '<description>Item %d of %s</description></item>' % (title, i, title, i, i, title)
                    for i in range(1, count + 1))
    return ('<?xml version="1.0" encoding="utf-8"?><rss version="2.0"><channel><title>%s</title>'
            '<link>http://127.0.0.1/%s</link><description>Feed %s</description>%s</channel></rss>'
            % (title, title, title, items)).encode('utf-8')


def _icon_bytes():
    # One 16x16 32-bit image: ICONDIR, one ICONDIRENTRY, BITMAPINFOHEADER, colour and mask rows.
    import struct
    pixels = b'\x20\x60\xe0\xff' * 256
    mask = b'\x00' * 64
    header = struct.pack('<IiiHHIIiiII', 40, 16, 32, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 16, 16, 0, 0, 1, 32, len(image), 22) + image


FAVICON = _icon_bytes()
# The icon's path holds a dot, which no method name can.
setattr(Handler, 'route_favicon.ico',
        lambda self, _rest, _query: self.send_body(200, FAVICON, 'image/x-icon'))


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    # Test programs run side by side and open many connections at once: a short listen queue would drop some.
    request_queue_size = 128


def serve(root, port, port_file=None):
    server = Server(('127.0.0.1', port), Handler)
    server.root = root
    if port_file:
        tmp = port_file + '.tmp'
        with open(tmp, 'w') as f:
            f.write(str(server.server_address[1]))
        os.replace(tmp, port_file)
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    server.serve_forever()


def start(args):
    for name in (args.port_file, args.pid_file):
        if os.path.exists(name):
            os.remove(name)
    pid = os.fork()
    if pid == 0:
        os.setsid()
        devnull = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(devnull, fd)
        # Inherited pipes would keep CTest waiting for this fixture to finish.
        os.closerange(3, 4096)
        with open(args.pid_file, 'w') as f:
            f.write(str(os.getpid()))
        serve(args.root, 0, args.port_file)
        os._exit(0)
    deadline = time.time() + 10
    while time.time() < deadline:
        if os.path.exists(args.port_file):
            print('test HTTP server on 127.0.0.1:' + open(args.port_file).read())
            return 0
        time.sleep(0.05)
    print('the test HTTP server did not start', file=sys.stderr)
    return 1


def stop(args):
    try:
        pid = int(open(args.pid_file).read())
        os.kill(pid, signal.SIGTERM)
        for _ in range(100):
            os.kill(pid, 0)
            time.sleep(0.05)
        os.kill(pid, signal.SIGKILL)
    except (OSError, ValueError):
        pass
    for name in (args.port_file, args.pid_file):
        if os.path.exists(name):
            os.remove(name)
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('action', choices=('start', 'stop', 'serve'))
    parser.add_argument('--port-file')
    parser.add_argument('--pid-file')
    parser.add_argument('--root', default='.')
    parser.add_argument('--port', type=int, default=0)
    args = parser.parse_args()
    if args.action == 'start':
        return start(args)
    if args.action == 'stop':
        return stop(args)
    serve(args.root, args.port)
    return 0


if __name__ == '__main__':
    sys.exit(main())
