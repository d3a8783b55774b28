#!/usr/bin/env bash
# Makes the small video that the local test server plays to the player and the media cache, with
# Debian's ffmpeg (12 s test pattern with its clock and a tone):
#   low/index.m3u8, low/seg0.ts..seg5.ts     320x180, 2 s segments
#   high/index.m3u8, high/seg0.ts..seg5.ts   480x270, 2 s segments, AES-128 with high/key.bin
#   clip.mp4                                 320x180, the whole clip in one file (moov first)
# A folder that holds a complete set of this version is kept as it is.
#   usage: scripts/make-test-media.sh <dir>
set -euo pipefail

if (($# != 1)); then
  echo "usage: $0 <dir>" >&2
  exit 2
fi
dir="$1"
version="zentavo-test-media 1"
if [[ -f "$dir/VERSION" && "$(cat "$dir/VERSION")" == "$version" ]]; then
  exit 0
fi
command -v ffmpeg >/dev/null || { echo "$0: ffmpeg is missing (scripts/setup.sh installs it)" >&2; exit 1; }
mkdir -p "$dir"

# Work in a scratch folder and move the finished set into place, so that a run that stops half
# way (or a test reading at the same time) never sees a half-written set.
work="$(mktemp -d "$dir/.make-test-media.XXXXXX")"
trap 'rm -rf "$work"' EXIT

seconds=12
fps=25
# One key frame every segment, so that every segment starts cleanly and seeks land on segments.
gop=$((2 * fps))
encode=(-c:v libx264 -preset veryfast -profile:v main -pix_fmt yuv420p -g "$gop" -keyint_min "$gop"
  -sc_threshold 0 -c:a aac -b:a 48k -ac 1 -ar 44100 -threads 1)
source_of() {
  printf '%s' "testsrc=size=$1:rate=$fps:duration=$seconds"
}
tone=(-f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$seconds")
quiet=(-hide_banner -loglevel error -nostdin -y)

mkdir -p "$work/low" "$work/high"
ffmpeg "${quiet[@]}" -f lavfi -i "$(source_of 320x180)" "${tone[@]}" "${encode[@]}" -b:v 200k \
  -f hls -hls_time 2 -hls_list_size 0 -hls_playlist_type vod \
  -hls_segment_filename "$work/low/seg%d.ts" "$work/low/index.m3u8"

openssl rand 16 >"$work/high/key.bin"
# The key info file: the key's address as the playlist names it, the key file, the IV.
printf 'key.bin\n%s\n%s\n' "$work/high/key.bin" "$(openssl rand -hex 16)" >"$work/keyinfo"
ffmpeg "${quiet[@]}" -f lavfi -i "$(source_of 480x270)" "${tone[@]}" "${encode[@]}" -b:v 400k \
  -f hls -hls_time 2 -hls_list_size 0 -hls_playlist_type vod -hls_key_info_file "$work/keyinfo" \
  -hls_segment_filename "$work/high/seg%d.ts" "$work/high/index.m3u8"

ffmpeg "${quiet[@]}" -f lavfi -i "$(source_of 320x180)" "${tone[@]}" "${encode[@]}" -b:v 200k \
  -movflags +faststart "$work/clip.mp4"

rm -f "$work/keyinfo"
echo "$version" >"$work/VERSION"
for entry in low high clip.mp4 VERSION; do
  rm -rf "${dir:?}/$entry"
  mv "$work/$entry" "$dir/$entry"
done
