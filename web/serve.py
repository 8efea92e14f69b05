#!/usr/bin/env python3
# make run-web: serves the page's folder on this machine only (127.0.0.1,
# where a browser allows the offline service worker without https) and,
# where there is a display, opens the page in a browser; else prints its
# address only.
# Usage: serve.py FOLDER PORT
import functools
import http.server
import os
import shutil
import subprocess
import sys


def open_in_browser(url):
    # The desktop's own choice first, else Debian's chromium.
    for program in ('xdg-open', 'chromium'):
        if shutil.which(program):
            subprocess.Popen([program, url], stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, start_new_session=True)
            return


def main():
    folder, port = sys.argv[1], int(sys.argv[2])
    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)
    # Bound before the browser is asked, so that its first request is answered.
    server = http.server.ThreadingHTTPServer(('127.0.0.1', port), handler)
    url = f'http://127.0.0.1:{port}/bitlicht.html'
    print('Bitlicht: ' + url, flush=True)
    if os.environ.get('DISPLAY') or os.environ.get('WAYLAND_DISPLAY'):
        open_in_browser(url)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


main()
