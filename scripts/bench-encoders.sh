#!/usr/bin/env bash
# Encoder speed: the project's ffmpeg.exe under Wine against the machine's native Debian
# ffmpeg (the same FFmpeg version), on one generated 10-minute stereo 44.1 kHz WAV, for each
# distinct encoder the output formats use. Wine's start-up, measured with a run that encodes
# nothing, is subtracted from the Wine times (and the native start-up from the native ones).
#   bash scripts/bench-encoders.sh [RUNS]      (best of RUNS, default 3)
set -euo pipefail
source "$(dirname "$0")/env.sh"
runs=${1:-3}

bash "$BRISQUELTON_ROOT/scripts/setup.sh" >/dev/null
if ! command -v ffmpeg >/dev/null; then
  log "Installing Debian's ffmpeg for the comparison"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends ffmpeg >/dev/null
fi
exe=$BRISQUELTON_THIRDPARTY/ffmpeg/bin/ffmpeg.exe
[ -f "$exe" ] || die "no cross-built ffmpeg.exe in $BRISQUELTON_THIRDPARTY"

work=$(mktemp -d)
private_wine_prefix "$work"
cp "$BRISQUELTON_THIRDPARTY"/ffmpeg/bin/*.dll "$exe" "$work/"
cd "$work"

log "Generating the 10-minute test WAV"
# Pink noise under a slow chord: closer to music than a pure tone, which encoders race through.
ffmpeg -v error -f lavfi -i "anoisesrc=d=600:c=pink:r=44100:a=0.25" \
  -f lavfi -i "aevalsrc=0.2*sin(2*PI*220*t)+0.15*sin(2*PI*277*t)+0.1*sin(2*PI*330*t*(1+0.01*sin(t))):d=600:s=44100" \
  -filter_complex "[0][1]amix=inputs=2:normalize=0,aformat=channel_layouts=stereo" \
  -c:a pcm_s16le in.wav

seconds() { # best wall time of $runs runs of the command, in seconds
  local best= t0 t1 d i
  for ((i = 0; i < runs; i++)); do
    t0=$(date +%s.%N); "$@" >/dev/null 2>&1 </dev/null || return 1; t1=$(date +%s.%N)
    d=$(echo "$t1 - $t0" | bc -l)
    if [ -z "$best" ] || (( $(echo "$d < $best" | bc -l) )); then best=$d; fi
  done
  echo "$best"
}
# Encoder, output options and file name; the AMR and GSM encoders take 8 kHz mono only, and
# SMAF writes mono unless told to try its experimental stereo.
cases=(
  "libmp3lame|-b:a 192k|o.mp3"
  "aac|-b:a 192k|o.m4a"
  "libvorbis|-q:a 5|o.ogg"
  "flac||o.flac"
  "alac||o.m4a"
  "ac3|-b:a 192k|o.ac3"
  "mp2|-b:a 192k|o.mp2"
  "wmav2|-b:a 192k|o.wma"
  "libopencore_amrnb|-ar 8000 -ac 1 -b:a 12.2k|o.amr"
  "libgsm_ms|-ar 8000 -ac 1|o.wav"
  "adpcm_yamaha|-ac 1|o.mmf"
  "adpcm_ima_wav||o.wav"
  "adpcm_ms||o.wav"
  "pcm_s16le||o.wav"
  "pcm_s16be||o.aiff"
  "pcm_alaw||o.au"
  "pcm_mulaw||o.au"
)

command -v bc >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -q bc >/dev/null
log "Measuring start-up (best of $runs)"
wine_start=$(seconds wine ./ffmpeg.exe -hide_banner -version)
native_start=$(seconds ffmpeg -hide_banner -version)
printf 'start-up: wine %.2f s, native %.2f s (subtracted below)\n\n' "$wine_start" "$native_start"

printf '| encoder | Wine (s) | native (s) | ratio |\n|---|---:|---:|---:|\n'
for c in "${cases[@]}"; do
  IFS='|' read -r enc opts out <<<"$c"
  # shellcheck disable=SC2086
  w=$(seconds wine ./ffmpeg.exe -hide_banner -y -i in.wav -c:a "$enc" $opts "$out") || w=
  # shellcheck disable=SC2086
  n=$(seconds ffmpeg -hide_banner -y -i in.wav -c:a "$enc" $opts "n$out") || n=
  [ -z "$w" ] || w=$(printf '%.2f' "$(echo "$w - $wine_start" | bc -l)")
  [ -z "$n" ] || n=$(printf '%.2f' "$(echo "$n - $native_start" | bc -l)")
  if [ -z "$w" ] || [ -z "$n" ]; then
    if [ -z "$n" ] && ! ffmpeg -hide_banner -encoders 2>/dev/null | grep -q " $enc "; then n="no such encoder"; fi
    printf '| %s | %s | %s | n/a |\n' "$enc" "${w:-failed}" "${n:-failed}"
    continue
  fi
  printf '| %s | %s | %s | %.2f |\n' "$enc" "$w" "$n" "$(echo "$w / $n" | bc -l)"
done
