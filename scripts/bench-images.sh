#!/usr/bin/env bash
# What damaged and real pictures cost (not a test): the time to decode or refuse them and
# the peak memory of the process, each case in a process of its own, a GIF as the image
# control takes it. Cases: progressive JPEGs of many scans over the largest picture, the
# largest pictures of the standard progression, GIF frames of no data (16 full ones on a
# 4096 x 4096 screen, three full ones after an empty block far to the right, three
# quarter screens of 8192 x 8192 restoring or staying, 20 s of 640 x 480, 6 s of
# 1280 x 720 and a 40 s box), and every JPEG and GIF on this machine (outside /proc and the work
# trees), which must all decode, and the GIF with the most frames must play.
#   bash scripts/bench-images.sh
set -euo pipefail
here=$(dirname "$0")
source "$here/env.sh"
bash "$here/build.sh" --target images_bench >/dev/null
bench=$BRISQUELTON_BUILD/bin/images_bench.exe

work=$(mktemp -d)
private_wine_prefix "$work"
# The process's most resident memory, from Linux: Wine's counters leave pictures out.
run() {
  /usr/bin/time -f '%M' -o "$work/peak" wine "$bench" "$@" </dev/null
  printf '%44s peak %d MB\n' '' $(($(tail -n 1 "$work/peak") / 1024))
}

log "Damaged and largest pictures"
run jpeg-scans 16384 4096 990
run jpeg-scans 16384 4096 6
run jpeg-scans 16384 4096 10 3
run gif-frames 4096 4096 16
run gif-empty-block 16384 4096 3
run gif-frames 8192 8192 3 8192 2048 3
run gif-frames 8192 8192 3 8192 2048 1
log "Long animations"
run gif-frames 640 480 500
run gif-frames 1280 720 150
run gif-frames 640 480 1000 100 100

log "Every JPEG and GIF on this machine"
mapfile -t files < <(find / -xdev \( -path /proc -o -path /sys -o -path /work/wt -o -path /work/main \) -prune -o \
  -type f \( -iname '*.jpg' -o -iname '*.jpeg' -o -iname '*.jpe' -o -iname '*.jfif' -o -iname '*.gif' \) -print \
  2>/dev/null | sort)
windows=()
for f in "${files[@]}"; do windows+=("Z:${f//\//\\}"); done
run files "${windows[@]}" >"$work/files.txt"
tail -n 1 "$work/files.txt"
sed -i '$d' "$work/files.txt"
total=$(wc -l <"$work/files.txt")
refused=$(grep -c ' REFUSED ' "$work/files.txt" || true)
printf '%s files, %s refused\n' "$total" "$refused"
grep ' REFUSED ' "$work/files.txt" || true
printf 'slowest:\n'
awk '{for (i = 1; i <= NF; i++) if ($i == "total") print $(i + 1), $0}' "$work/files.txt" | sort -rn | head -3 |
  cut -d' ' -f2-
# The GIF of the most frames, alone for its peak memory.
most=$(awk '{for (i = 1; i <= NF; i++) if ($i == "frames") print $(i + 1), NR}' "$work/files.txt" | sort -rn |
  head -1 | cut -d' ' -f2)
if [ -n "$most" ]; then
  printf 'most frames, alone:\n'
  run files "${windows[$((most - 1))]}"
fi
