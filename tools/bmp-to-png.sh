#!/usr/bin/env bash
# The driver writes screenshots as BMP (plain GDI); turn each into a PNG beside it.
dir=$1
shopt -s nullglob
for f in "$dir"/*.bmp; do
  convert "$f" "${f%.bmp}.png" && rm -f "$f"
done
