#!/usr/bin/env bash
# Wraps the window's PNG pictures (ui/form/images, rendered from their SVGs) into icon files
# that LoadImageW reads: an icon file may hold PNG data as its one image, so the pictures stay
# pixel for pixel what the Linux window shows. Run in this folder after a picture changes.
set -euo pipefail
source_folder=../../form/images

le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }
png_dimension() { od -An -tu1 -j "$2" -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}'; }

for name in window_icon magnifier badge eraser close simplified traditional; do
    png="$source_folder/$name.png"
    width=$(png_dimension "$png" 16)
    height=$(png_dimension "$png" 20)
    size=$(stat -c %s "$png")
    {
        le16 0; le16 1; le16 1                              # reserved, type icon, one image
        printf "\\x$(printf %02x $((width & 255)))\\x$(printf %02x $((height & 255)))"
        printf '\0\0'; le16 1; le16 32; le32 "$size"; le32 22  # colours, planes, bits, bytes, offset
        cat "$png"
    } >"$name.ico"
done
