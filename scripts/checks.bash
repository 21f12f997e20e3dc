# The Windows tests' checks; sourced, not run. pass and fail print one line and count it in
# passed and failed; lit SHOT GEOMETRY gives the percentage of the region's pixels brighter than
# a quarter of full in $shots/SHOT.png; wine runs the loader the caller chose (WINELOADER), and
# wine_major gives its major version.
passed=${passed:-0}
failed=${failed:-0}
pass() {
    echo "PASS: $1"
    passed=$((passed + 1))
}
fail() {
    echo "FAIL: $1"
    failed=$((failed + 1))
}
lit() {
    convert "$shots/$1.png" -crop "$2" +repage -colorspace Gray -threshold 25% -format "%[fx:int(mean*100+0.5)]" info:
}
wine() { "${WINELOADER:-wine}" "$@"; }
wine_major() {
    local major
    major=$(wine --version 2>/dev/null | sed -n 's/^wine-\([0-9]*\).*/\1/p')
    echo "${major:-0}"
}
