#!/usr/bin/env bash
# Packing and unpacking speed against plain file copies, in the same run:
#   pakrel (10 songs of 5 MB)      vs  cat of the player and the same songs into one file
#   sonvira --extract of that album vs cp of the same songs
# and the packager's peak memory for small and large songs (it must not follow the song size).
# Usage: bench/album/run.sh [build-dir]
set -euo pipefail
build=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Three MPEG audio frame headers (2 layer III, 8 kbit/s, 24 kHz: 24-byte frames), so that pakrel
# takes the random bytes after them for a song.
frames() { for _ in 1 2 3; do printf '\xff\xf3\x14\xc4'; head -c 20 /dev/zero; done; }
make_songs() {  # make_songs FOLDER MB
  mkdir -p "$1"
  for i in $(seq 1 10); do { frames; head -c "$(($2 * 1024 * 1024))" /dev/urandom; } >"$1/song$i.mp3"; done
}
songs_args() { for i in $(seq 1 10); do printf -- '--song\n%s=%s\n' "$i" "$1/song$i.mp3"; done; }

# Best of five wall-clock runs, in seconds.
best_of() {
  local best=
  for _ in 1 2 3 4 5; do
    sync
    local t0 t1
    t0=$(date +%s.%N); "$@" >/dev/null; t1=$(date +%s.%N)
    best=$(awk -v a="$t0" -v b="$t1" -v best="$best" 'BEGIN { d = b - a; if (best == "" || d < best) best = d; print best }')
  done
  echo "$best"
}
peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n1; }

make_songs five 5
mapfile -t args < <(songs_args "$work/five")
cp "$build/res/sonvira.res" player.bin

pack() { rm -f album.exe; "$build/bin/pakrel" --name album --description hi "${args[@]}" --output-dir . ; }
concat() { cat player.bin five/song*.mp3 >cat.out; }
# Both programs flush what they wrote to the disk before naming it (fdatasync, then rename),
# so a crash never leaves half an album: the same copies followed by `sync -d` of what they
# wrote are the reference that does the same work.
concat_sync() { concat; sync -d cat.out; }
unpack() { rm -rf out; "$build/bin/sonvira" --extract album.exe out; }
copy() { rm -rf copy; mkdir copy; cp five/song*.mp3 copy/; }
copy_sync() { copy; sync -d copy/*; }

pack >/dev/null
t_pack=$(best_of pack); t_cat=$(best_of concat); t_cat_sync=$(best_of concat_sync)
t_unpack=$(best_of unpack); t_cp=$(best_of copy); t_cp_sync=$(best_of copy_sync)

make_songs one 1
make_songs twenty 20
mapfile -t args < <(songs_args "$work/one")
m_small=$(peak_kb "$build/bin/pakrel" --name small --description hi "${args[@]}" --output-dir .)
mapfile -t args < <(songs_args "$work/twenty")
m_large=$(peak_kb "$build/bin/pakrel" --name large --description hi "${args[@]}" --output-dir .)

# Unpacking ten 20 MB songs, where the copy itself outweighs starting the program.
unpack20() { rm -rf out20; "$build/bin/sonvira" --extract large.exe out20; }
copy20() { rm -rf copy20; mkdir copy20; cp twenty/song*.mp3 copy20/; }
copy20_sync() { copy20; sync -d copy20/*; }
t_unpack20=$(best_of unpack20); t_cp20=$(best_of copy20); t_cp20_sync=$(best_of copy20_sync)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf 'pack 10 x 5 MB:    pakrel %.3f s, cat %.3f s (ratio %s), cat + sync %.3f s (ratio %s)\n' \
  "$t_pack" "$t_cat" "$(ratio "$t_pack" "$t_cat")" "$t_cat_sync" "$(ratio "$t_pack" "$t_cat_sync")"
printf 'unpack 10 x 5 MB:  sonvira %.3f s, cp %.3f s (ratio %s), cp + sync %.3f s (ratio %s)\n' \
  "$t_unpack" "$t_cp" "$(ratio "$t_unpack" "$t_cp")" "$t_cp_sync" "$(ratio "$t_unpack" "$t_cp_sync")"
printf 'unpack 10 x 20 MB: sonvira %.3f s, cp %.3f s (ratio %s), cp + sync %.3f s (ratio %s)\n' \
  "$t_unpack20" "$t_cp20" "$(ratio "$t_unpack20" "$t_cp20")" "$t_cp20_sync" "$(ratio "$t_unpack20" "$t_cp20_sync")"
printf 'pakrel peak memory: %s KB with 1 MB songs, %s KB with 20 MB songs, ratio %s\n' \
  "$m_small" "$m_large" "$(ratio "$m_large" "$m_small")"
