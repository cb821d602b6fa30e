#!/usr/bin/env bash
# The Debian package of a build, checked as a user's machine would take it.
#   package_test.sh build BUILD_DIR OUT VERSION
#                                          make the .deb with CPack into OUT, unpack it
#                                          into OUT/root
#   package_test.sh lintian OUT            no lintian errors (warnings are printed)
#   package_test.sh desktop OUT VERSION    desktop entry, metainfo, icons, units
#   package_test.sh programs OUT VERSION   the unpacked programs run from OUT/root
set -euo pipefail

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

the_deb() {
    local debs=("$1"/veltrix_*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "not exactly one package in $1"
    echo "${debs[0]}"
}

step=$1
shift
case "$step" in
build)
    build=$1 out=$2 version=$3
    rm -rf "$out"
    mkdir -p "$out"
    cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
        { cat "$out/cpack.log"; fail "cpack"; }
    deb=$(the_deb "$out")
    dpkg-deb -x "$deb" "$out/root"
    # The whole project version (all its numbers), then the package's revision.
    [ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] ||
        fail "package version $(dpkg-deb -f "$deb" Version), not $version-1"
    echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
    dpkg-deb -f "$deb" Depends
    ;;

lintian)
    out=$1
    # Errors fail; warnings and remarks are printed. CI runs as root, which lintian
    # only remarks on.
    status=0
    report=$(lintian --fail-on error --display-info --tag-display-limit 0 \
        "$(the_deb "$out")" 2>&1) || status=$?
    grep -v 'running with root privileges' <<<"$report" || true
    [ "$status" -eq 0 ] || fail "lintian reports errors (exit $status)"
    ;;

desktop)
    out=$(realpath "$1") version=$2
    root=$out/root
    share=$root/usr/share
    id=com.kavotronik.Veltrix
    desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry"
    grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "desktop entry's icon"
    # validate-tree also checks that the metainfo's launchable is installed.
    appstreamcli validate-tree --no-net "$root" || fail "metainfo"
    grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" ||
        fail "metainfo's release is not $version"
    [ -s "$share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
    for size in 16 22 24 32 48 64 128 256; do
        png=$share/icons/hicolor/${size}x${size}/apps/$id.png
        file -b "$png" | grep -q "^PNG image data, $size x $size," ||
            fail "icon $png: $(file -b "$png" 2>&1)"
    done
    for page in Veltrix Pellow veltrix-status veltrix-servicesim; do
        zcat "$share/man/man1/$page.1.gz" | grep -q "^\.SH NAME" || fail "manual page $page"
    done
    # The unit runs the program where the package put it.
    grep -q '^ExecStart=/usr/bin/veltrix-status ' "$root/usr/lib/systemd/system/veltrix-status.service" ||
        fail "veltrix-status.service does not start /usr/bin/veltrix-status"
    ;;

programs)
    out=$(realpath "$1") version=$2
    bin=$out/root/usr/bin
    work=$(mktemp -d)
    sim_pid=
    trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
    # Veltrix answers --version without a display.
    [ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin/Veltrix" --version)" = "Veltrix $version" ] ||
        fail "Veltrix --version"
    "$bin/veltrix-servicesim" --help | grep -q '^Usage: veltrix-servicesim ' ||
        fail "veltrix-servicesim --help"
    "$bin/veltrix-status" --help | grep -q '^Usage: veltrix-status ' || fail "veltrix-status --help"
    # Pellow without a display says why on standard error, and exits with 0.
    (cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$bin/Pellow" \
        2>"$work/pellow.err") || fail "Pellow exited with $?"
    [ -s "$work/pellow.err" ] || fail "Pellow said nothing"
    # The installed simulator knows no source tree: it must find the scenario the
    # package installed beside it, and then listen.
    "$bin/veltrix-servicesim" --pipe-dir "$work/pipe" >"$work/sim.out" 2>&1 &
    sim_pid=$!
    for _ in $(seq 100); do
        grep -q '^servicesim: listening on ' "$work/sim.out" && break
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -q '^servicesim: listening on ' "$work/sim.out" ||
        { cat "$work/sim.out"; fail "veltrix-servicesim did not start with its scenario"; }
    kill -TERM "$sim_pid"
    wait "$sim_pid" || fail "veltrix-servicesim ended with $? on SIGTERM"
    sim_pid=
    ;;

*)
    fail "unknown step $step"
    ;;
esac
echo "package $step: passed"
