#!/bin/sh
# Prints the toolchain the tests run with here: i686 where Wine's 32-bit loader
# runs, x86_64 where the machine runs no 32-bit programs (some sandboxes).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo i686; else echo x86_64; fi
