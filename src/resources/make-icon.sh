#!/usr/bin/env bash
# Renders the application icon clanbook.png from clanbook.svg
# (needs ImageMagick; the PNG is kept in the repository, so building does not).
set -euo pipefail
res=$(cd "$(dirname "$0")" && pwd)
convert -background none -density 384 "$res/clanbook.svg" -resize 256x256 "$res/clanbook.png"
