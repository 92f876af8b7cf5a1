#!/usr/bin/env bash
# In-process road against ffmpeg.exe: the same generated 10-minute stereo 44.1 kHz WAV
# converted to MP3, AAC (.m4a), FLAC and Ogg Vorbis with the commands the job loop
# builds, each way (best of RUNS), the time of probing the file plus building its
# command, and what judging the outputs costs a batch of 50 one-second WAVs to MP3 through
# the job loop. Prints each time, the in-process/external ratio and the judge's share.
#   bash scripts/bench-transcode.sh [RUNS]      (default 3; needs scripts/build.sh first)
set -euo pipefail
source "$(dirname "$0")/env.sh"
runs=${1:-3}

bench=$BRISQUELTON_BUILD/bin/transcode_bench.exe
tools=$BRISQUELTON_BUILD/ffmpeg-tools
[ -f "$bench" ] || die "no $bench: run scripts/build.sh first"
[ -f "$tools/ffmpeg.exe" ] || die "no ffmpeg.exe in $tools"

work=$(mktemp -d)
private_wine_prefix "$work"
mkdir "$work/media"

log "Generating the 10-minute test WAV"
# Pink noise under a slow chord: closer to music than a pure tone, which encoders race through.
(cd "$work/media" && wine "$tools/ffmpeg.exe" -v error -f lavfi -i "anoisesrc=d=600:c=pink:r=44100:a=0.25" \
  -f lavfi -i "aevalsrc=0.2*sin(2*PI*220*t)+0.15*sin(2*PI*277*t)+0.1*sin(2*PI*330*t*(1+0.01*sin(t))):d=600:s=44100" \
  -filter_complex "[0][1]amix=inputs=2:normalize=0,aformat=channel_layouts=stereo" \
  -c:a pcm_s16le in.wav </dev/null)

log "Converting (best of $runs)"
wine "$bench" "$(winepath -w "$work/media")" "$(winepath -w "$tools/ffmpeg.exe")" "$runs" </dev/null
