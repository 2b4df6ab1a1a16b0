#!/usr/bin/env bash
# Checks the Debian package `make package` left in a build folder (default: build): its files
# against expected-files.txt, its dependencies, that the programs it unpacks run and say the
# package's version, its bash completion and its metainfo. Needs no display and no root;
# `make test` runs it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
fail() {
    echo "package check: $*" >&2
    exit 1
}

# The newest package, should an older version's still lie there.
deb=$(ls -t "$build"/vantrel_*.deb 2>/dev/null | head -n 1 || true)
[ -n "$deb" ] || fail "no vantrel_*.deb in $build: run 'make package' first"
version=$(dpkg-deb -f "$deb" Version)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Mode, owner and path of every entry; sizes and times change with every build. Sorted by
# bytes, as the expected list is, whatever the locale.
dpkg-deb -c "$deb" | awk '{ print $1, $2, $6 }' | LC_ALL=C sort -k 3 >"$work/files"
diff -u "$here/expected-files.txt" "$work/files" ||
    fail "$deb holds other files than tools/package/expected-files.txt (- expected, + built)"

# An empty list would mean dpkg-shlibdeps did not run, and the package would install on a
# machine without Qt.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6widgets6 libqt6serialport6; do
    [[ $depends =~ (^|, )$library( |,|$) ]] || fail "Depends lacks $library: '$depends'"
done

dpkg-deb -x "$deb" "$work/root"
for program in vantrel-cli vantrel-sim; do
    said=$("$work/root/usr/bin/$program" --version) || fail "$program --version failed"
    [ "$said" = "$program $version" ] ||
        fail "$program --version said '$said', not '$program $version'"
done

# The completion offers the commands, options, an option's choices and whole file names, as
# vantrel-cli's help names them. Each case: the words typed, then what is offered, comma-joined.
complete_line() {
    (
        cd "$work"
        source root/usr/share/bash-completion/completions/vantrel-cli
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        _vantrel_cli
        IFS=,
        echo "${COMPREPLY[*]}"
    )
}
touch "$work/a picture.bmp"
for case in "vantrel-cli do|download" "vantrel-cli --port sim q|query" \
    "vantrel-cli --vers|--version" "vantrel-cli text f.txt --as |chars,hex" \
    "vantrel-cli download a|a picture.bmp"; do
    words=${case%|*}
    expected=${case#*|}
    read -r -a line <<<"$words"
    [[ $words == *" " ]] && line+=("")
    offered=$(complete_line "${line[@]}")
    [ "$offered" = "$expected" ] ||
        fail "completing '$words' offered '$offered', not '$expected'"
done

metainfo=$(echo "$work"/root/usr/share/metainfo/*.metainfo.xml)
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >"$work/validation" ||
        fail "the metainfo does not validate: $(cat "$work/validation")"
fi
echo "package check: $(basename "$deb") as expected"
