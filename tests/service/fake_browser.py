#!/usr/bin/env python3
"""Stands in for the user's browser during a sign-in: the program hands it the
authorization URL (through BROWSER); it opens that page on the fake service, which
answers with a redirect, and follows the redirect to the program's loopback address.
"""
import sys
import urllib.error
import urllib.parse
import urllib.request


class KeepRedirect(urllib.request.HTTPRedirectHandler):
    def redirect_request(self, *args, **kwargs):
        return None


def main():
    url = urllib.parse.quote(sys.argv[1], safe=":/?&=%+")
    # Only 127.0.0.1 is ever asked, never through a proxy from the environment.
    direct = urllib.request.ProxyHandler({})
    try:
        urllib.request.build_opener(direct, KeepRedirect).open(url, timeout=10)
        return 1  # the page did not send the browser back
    except urllib.error.HTTPError as answer:
        target = answer.headers.get("Location")
    if not target:
        return 1
    urllib.request.build_opener(direct).open(target, timeout=10).read()
    return 0


if __name__ == "__main__":
    sys.exit(main())
