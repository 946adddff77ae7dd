#!/usr/bin/env python3
"""Stands in for the user's browser during a sign-in: the program hands it the
authorization URL (through BROWSER); it opens that page on the fake service, which
answers with a redirect, and follows the redirect to the program's loopback address.
With --print first, it prints the address it was sent to instead of opening it, as a
browser on another machine would leave the user with it.
"""
import sys
import urllib.error
import urllib.parse
import urllib.request


class KeepRedirect(urllib.request.HTTPRedirectHandler):
    def redirect_request(self, *args, **kwargs):
        return None


def main():
    arguments = sys.argv[1:]
    show_only = arguments[:1] == ["--print"]
    url = urllib.parse.quote(arguments[-1], safe=":/?&=%+")
    # Only loopback addresses are ever asked, never through a proxy from the environment.
    direct = urllib.request.ProxyHandler({})
    try:
        urllib.request.build_opener(direct, KeepRedirect).open(url, timeout=10)
        return 1  # the page did not send the browser back
    except urllib.error.HTTPError as answer:
        target = answer.headers.get("Location")
    if not target:
        return 1
    if show_only:
        print(target, flush=True)
        return 0
    # The page the program showed, for the test to read.
    print(urllib.request.build_opener(direct).open(target, timeout=60).read().decode(), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
