#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renders the application icon at the sizes of the desktop's icon theme (and of the window's
# icon). Needs librsvg2-bin; the PNGs are committed, so building does not.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" vistrel.svg -o "hicolor/vistrel-$size.png"
done
