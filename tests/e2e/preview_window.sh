#!/usr/bin/env bash
# "/p <window>": a child window over the parent shows preview.ppk unscaled from the top-left when
# the parent is 152 wide, black for any other width or an unusable picture, and the process ends
# with status 0 when the parent goes.
source "$(dirname "$0")/preview_common.bash"

host 152x112 exact "$build/Lumivane" /p {}
[ "$status" = 0 ] || fail "152x112: status $status after the parent went"
[ "$(differing "bmp:$build/preview.ppk" "$work/exact.ppm")" = 0 ] || fail "152x112: the window is not the picture"
# The picture is not black, or the comparisons below would prove nothing.
[ "$(brightest exact)" != 0 ] || fail "preview.ppk is black"

host 152x150 taller "$build/Lumivane" /p {}
[ "$status" = 0 ] || fail "152x150: status $status"
convert "$work/taller.ppm" -crop 152x112+0+0 +repage "$work/taller-top.ppm"
[ "$(differing "bmp:$build/preview.ppk" "$work/taller-top.ppm")" = 0 ] || fail "152x150: picture not at the top-left"
[ "$(brightest taller 152x38+0+112)" = 0 ] || fail "152x150: not black below the picture"

for size in 151x112 153x112 320x240; do
  host "$size" "other-$size" "$build/Lumivane" /p {}
  [ "$status" = 0 ] || fail "$size: status $status"
  [ "$(brightest "other-$size")" = 0 ] || fail "$size: the window is not black"
done

# Every exposure reads the picture afresh: black while it is missing, the picture once it is there.
folder=$work/install
mkdir -p "$folder"
ASAN_OPTIONS=$xparent_asan "$build/tests/xparent" --again "$work/go" 152x112 "$work/fresh.ppm" \
  env LUMIVANE_PATH="$folder/" "$build/Lumivane" /p {} >"$work/fresh.out" &
host_pid=$!
background+=("$host_pid")
wait_until 30 test -s "$work/fresh.ppm" || fail "repaint: no first picture: $(cat "$work/fresh.out")"
cp "$build/preview.ppk" "$folder/preview.ppk"
touch "$work/go"
wait "$host_pid" || fail "repaint: host helper: $(cat "$work/fresh.out")"
[ "$(brightest fresh)" = 0 ] || fail "repaint: not black before the picture was there"
[ "$(differing "bmp:$build/preview.ppk" "$work/fresh.ppm.again")" = 0 ] || fail "repaint: the exposure did not read the new picture"
grep -q "^status=0 " "$work/fresh.out" || fail "repaint: $(cat "$work/fresh.out")"
rm "$folder/preview.ppk"

# Missing, truncated and 32-bit pictures all paint black.
host 152x112 missing env LUMIVANE_PATH="$folder/" "$build/Lumivane" /p {}
[ "$status" = 0 ] && [ "$(brightest missing)" = 0 ] || fail "missing preview.ppk: status $status, not black"
head -c 20000 "$build/preview.ppk" >"$folder/preview.ppk"
host 152x112 truncated env LUMIVANE_PATH="$folder/" "$build/Lumivane" /p {}
[ "$status" = 0 ] && [ "$(brightest truncated)" = 0 ] || fail "truncated preview.ppk: status $status, not black"
convert -size 152x112 "xc:rgba(255,255,255,0.5)" "BMP:$folder/preview.ppk"
host 152x112 deep env LUMIVANE_PATH="$folder/" "$build/Lumivane" /p {}
[ "$status" = 0 ] && [ "$(brightest deep)" = 0 ] || fail "32-bit preview.ppk: status $status, not black"

# Without a window number, or with one that names no window, nothing is shown.
for words in "/p" "/P" "/p 4294967295"; do
  code=0
  timeout 10 "$build/Lumivane" $words >"$work/out" 2>&1 || code=$?
  [ "$code" = 0 ] || fail "'$words': status $code"
  [ ! -s "$work/out" ] || fail "'$words' printed: $(cat "$work/out")"
done
echo "preview window: ok"
