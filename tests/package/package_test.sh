#!/usr/bin/env bash
# The Debian packages of a build, checked as a user's machine would take them.
#   package_test.sh build BUILD_DIR OUT VERSION PACKAGE...
#                                          make the .deb files with CPack into OUT (exactly
#                                          these packages), unpack each into OUT/<package>
#   package_test.sh lintian OUT            no lintian errors (warnings are printed)
#   package_test.sh depends OUT            what each package may not depend on
#   package_test.sh contents OUT VERSION   each package's files, none in two packages
#   package_test.sh desktop OUT VERSION    desktop entry, metainfo, icons (package veltrix)
#   package_test.sh programs OUT VERSION   the unpacked programs run, each from its package
#   package_test.sh commands OUT VERSION   every program's command line, as a table
#   package_test.sh timer OUT              the unit verified, its command run as the unit
#                                          would, against the packaged simulated service
#   package_test.sh purge OUT              veltrix-status's maintainer scripts in a scratch
#                                          root: a purge leaves no timer link nor metrics
set -euo pipefail

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

the_deb() {
    local debs=("$1"/"$2"_*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "not exactly one package $2 in $1"
    echo "${debs[0]}"
}

# The packages the build step made, in OUT/packages.
packages() {
    cat "$1/packages"
}

has() {
    grep -qx "$2" "$1/packages"
}

# Files each package holds (under usr/), besides its share/doc/<package>/.
contents_of() {
    local id=com.kavotronik.Veltrix
    case "$1" in
    veltrix)
        echo bin/veltrix bin/pellow bin/Veltrix bin/Pellow share/applications/$id.desktop \
            share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg \
            share/man/man1/veltrix.1.gz share/man/man1/pellow.1.gz \
            share/man/man1/Veltrix.1.gz share/man/man1/Pellow.1.gz \
            share/doc/veltrix/user-guide.md share/doc/veltrix/pictures/main-window.png
        ;;
    veltrix-status)
        echo bin/veltrix-status share/man/man1/veltrix-status.1.gz \
            lib/systemd/system/veltrix-status.service lib/systemd/system/veltrix-status.timer \
            share/veltrix/status/veltrix-alerts.yml share/veltrix/status/veltrix-status.schema.json
        ;;
    veltrix-servicesim)
        echo bin/veltrix-servicesim share/man/man1/veltrix-servicesim.1.gz \
            share/veltrix/servicesim/default.json
        ;;
    *) fail "no contents known for package $1" ;;
    esac
}

# Libraries a package may not depend on: a server installs veltrix-status without a
# desktop, and the simulated service uses no Qt at all.
forbidden_depends_of() {
    case "$1" in
    # Qt D-Bus reads the desktop's keyring; nothing of the desktop's GUI.
    veltrix-status) echo 'libqt6(gui|widgets|network)6' ;;
    veltrix-servicesim) echo 'libqt6' ;;
    esac
}

step=$1
shift
case "$step" in
build)
    build=$1 out=$2 version=$3
    shift 3
    rm -rf "$out"
    mkdir -p "$out"
    cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
        { cat "$out/cpack.log"; fail "cpack"; }
    debs=("$out"/*.deb)
    [ ${#debs[@]} -eq $# ] || fail "${#debs[@]} packages made, not $#: ${debs[*]##*/}"
    printf '%s\n' "$@" >"$out/packages"
    for package in "$@"; do
        deb=$(the_deb "$out" "$package")
        [ "$(dpkg-deb -f "$deb" Package)" = "$package" ] || fail "$deb is not $package"
        dpkg-deb -x "$deb" "$out/$package"
        # The whole project version (all its numbers), then the package's revision.
        [ "$(dpkg-deb -f "$deb" Version)" = "$version-2" ] ||
            fail "$package's version $(dpkg-deb -f "$deb" Version), not $version-2"
        echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
        echo "  Depends: $(dpkg-deb -f "$deb" Depends)"
    done
    ;;

lintian)
    out=$1
    # Errors fail; warnings and remarks are printed. CI runs as root, which lintian
    # only remarks on.
    debs=()
    for package in $(packages "$out"); do debs+=("$(the_deb "$out" "$package")"); done
    status=0
    report=$(lintian --fail-on error --display-info --tag-display-limit 0 "${debs[@]}" 2>&1) ||
        status=$?
    grep -v 'running with root privileges' <<<"$report" || true
    [ "$status" -eq 0 ] || fail "lintian reports errors (exit $status)"
    ;;

depends)
    out=$1
    for package in $(packages "$out"); do
        depends=$(dpkg-deb -f "$(the_deb "$out" "$package")" Depends)
        # Found by dpkg-shlibdeps: every package's programs need the C library.
        grep -q 'libc6' <<<"$depends" || fail "$package depends on no libc6: $depends"
        forbidden=$(forbidden_depends_of "$package")
        if [ -n "$forbidden" ] && grep -Eo "${forbidden}[^ ,]*" <<<"$depends"; then
            fail "$package depends on the above"
        fi
        # The tool and the service were in the one veltrix package of release 1: an
        # upgrade from it must let them take their files over.
        if [ "$package" != veltrix ]; then
            for field in Breaks Replaces; do
                [ "$(dpkg-deb -f "$(the_deb "$out" "$package")" $field)" = "veltrix (<< $2-2)" ] ||
                    fail "$package's $field is not veltrix (<< $2-2)"
            done
        fi
    done
    ;;

contents)
    out=$(realpath "$1") version=$2
    for package in $(packages "$out"); do
        root=$out/$package
        doc=share/doc/$package
        for file in $(contents_of "$package") $doc/README $doc/copyright \
            $doc/changelog.Debian.gz; do
            [ -s "$root/usr/$file" ] || fail "$package holds no usr/$file"
        done
        zcat "$root/usr/$doc/changelog.Debian.gz" | head -1 | grep -qF "($version-2)" ||
            fail "$package's changelog is not of $version-2"
        for page in "$root"/usr/share/man/man1/*.1.gz; do
            for section in NAME EXIT_STATUS FILES EXAMPLES SEE_ALSO; do
                zcat "$page" | grep -Eqx "\.SH \"?${section//_/ }\"?" ||
                    fail "manual page $page: no ${section//_/ }"
            done
        done
        (cd "$root" && find . ! -type d) >>"$out/all-files"
    done
    # dpkg refuses to install a package with a file another installed package has.
    if sort "$out/all-files" | uniq -d | grep .; then
        fail "the files above are in more than one package"
    fi
    if has "$out" veltrix-status; then
        # The unit runs the program where the package put it.
        grep -q '^ExecStart=/usr/bin/veltrix-status ' \
            "$out/veltrix-status/usr/lib/systemd/system/veltrix-status.service" ||
            fail "veltrix-status.service does not start /usr/bin/veltrix-status"
    fi
    ;;

desktop)
    out=$(realpath "$1") version=$2
    root=$out/veltrix
    share=$root/usr/share
    id=com.kavotronik.Veltrix
    desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry"
    grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "desktop entry's icon"
    # validate-tree also checks that the metainfo's launchable is installed.
    appstreamcli validate-tree --no-net "$root" || fail "metainfo"
    grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" ||
        fail "metainfo's release is not $version"
    # Every screenshot is one of the user guide's pictures.
    shots=$(sed -n 's|.*<image>.*/\([^/]*\.png\)</image>.*|\1|p' "$share/metainfo/$id.metainfo.xml")
    [ -n "$shots" ] || fail "metainfo lists no screenshots"
    for shot in $shots; do
        [ -s "$(dirname "$0")/../../docs/pictures/$shot" ] || fail "screenshot $shot is not in docs/pictures"
    done
    [ -s "$share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
    for size in 16 22 24 32 48 64 128 256; do
        png=$share/icons/hicolor/${size}x${size}/apps/$id.png
        file -b "$png" | grep -q "^PNG image data, $size x $size," ||
            fail "icon $png: $(file -b "$png" 2>&1)"
    done
    ;;

programs)
    out=$(realpath "$1") version=$2
    work=$(mktemp -d)
    sim_pid=
    trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
    if has "$out" veltrix; then
        bin=$out/veltrix/usr/bin
        # Veltrix answers --version without a display.
        [ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin/Veltrix" --version)" = "Veltrix $version" ] ||
            fail "Veltrix --version"
        # Pellow without a display says why on standard error, and exits with 0.
        (cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
            "$bin/Pellow" 2>"$work/pellow.err") || fail "Pellow exited with $?"
        [ -s "$work/pellow.err" ] || fail "Pellow said nothing"
    fi
    "$out/veltrix-status/usr/bin/veltrix-status" --help | grep -q '^Usage: veltrix-status ' ||
        fail "veltrix-status --help"
    bin=$out/veltrix-servicesim/usr/bin
    "$bin/veltrix-servicesim" --help | grep -q '^Usage: veltrix-servicesim ' ||
        fail "veltrix-servicesim --help"
    # The installed simulator knows no source tree: it must find the scenario its
    # package installed beside it, and then listen.
    "$bin/veltrix-servicesim" --pipe-dir "$work/pipe" >"$work/sim.out" 2>&1 &
    sim_pid=$!
    for _ in $(seq 100); do
        grep -q '^veltrix-servicesim: listening on ' "$work/sim.out" && break
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -q '^veltrix-servicesim: listening on .*, password "kavo"' "$work/sim.out" ||
        { cat "$work/sim.out"; fail "veltrix-servicesim did not start with its scenario"; }
    kill -TERM "$sim_pid"
    wait "$sim_pid" || fail "veltrix-servicesim ended with $? on SIGTERM"
    sim_pid=
    # It removes the folder it made for its pipe.
    [ ! -e "$work/pipe" ] || fail "veltrix-servicesim left $work/pipe behind"
    ;;

commands)
    out=$(realpath "$1") version=$2
    # program, arguments, exit status, what the output (both streams) matches; every
    # program without a display, by its installed name.
    table="veltrix-status --help 0 ^Usage: veltrix-status
veltrix-status --version 0 ^veltrix-status $version\$
veltrix-status --bogus 3 ^veltrix-status: unknown argument \"--bogus\"; see veltrix-status --help\$
veltrix-status --format=yaml 3 ^veltrix-status: unknown format \"yaml\"
veltrix-status --timeout 3 ^veltrix-status: --timeout needs a value
veltrix-servicesim --help 0 password is \"kavo\"
veltrix-servicesim --version 0 ^veltrix-servicesim $version\$
veltrix-servicesim --bogus 2 ^veltrix-servicesim: unknown option \"--bogus\"; see veltrix-servicesim --help\$
veltrix-servicesim --pipe-dir 2 ^veltrix-servicesim: --pipe-dir needs a value
veltrix-servicesim --tcp=70000 2 ^veltrix-servicesim: bad TCP port \"70000\"
veltrix --help 0 ^Usage: Veltrix
veltrix -h 0 ^Usage: Veltrix
veltrix --version 0 ^Veltrix $version\$
veltrix -v 0 ^Veltrix $version\$
Veltrix --version 0 ^Veltrix $version\$
veltrix --bogus 2 ^veltrix: unknown option \"--bogus\"; see veltrix --help\$
veltrix -platform 2 ^veltrix: missing value after '-platform'
veltrix extra 2 ^veltrix: unexpected argument \"extra\"
pellow --help 0 ^Usage: pellow
pellow --version 0 ^pellow $version\$
Pellow -v 0 ^pellow $version\$
pellow --bogus 2 ^pellow: Unknown option 'bogus'
pellow extra 2 ^pellow: Unexpected argument 'extra'"
    while read -r program argument status pattern; do
        bin=$(ls -d "$out"/*/usr/bin/"$program" 2>/dev/null | head -1) || true
        [ -n "$bin" ] || continue  # a build without the desktop programs
        got=0
        said=$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin" "$argument" 2>&1) || got=$?
        [ "$got" -eq "$status" ] || fail "$program $argument: exit status $got, not $status: $said"
        grep -Eq -- "$pattern" <<<"$said" || fail "$program $argument said: $said"
    done <<<"$table"
    ;;

timer)
    out=$(realpath "$1")
    root=$out/veltrix-status
    units=$root/usr/lib/systemd/system
    work=$(mktemp -d)
    sim_pid=
    trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
    # The units as installed, beside each other; ExecStart names the unpacked program.
    mkdir -p "$work/units"
    cp "$units"/veltrix-status.* "$work/units/"
    sed -i "s|^ExecStart=/usr/bin/|ExecStart=$root/usr/bin/|" "$work/units/veltrix-status.service"
    SYSTEMD_LOG_LEVEL=warning systemd-analyze verify --man=no \
        "$work/units/veltrix-status.service" "$work/units/veltrix-status.timer" 2>"$work/verify" ||
        { cat "$work/verify"; fail "systemd-analyze verify"; }
    ! grep . "$work/verify" || fail "systemd-analyze verify said the above"
    # ExecStart as systemd runs it: its credential and state folders filled in, the
    # metrics written into a folder of the test, the packaged simulated service asked.
    command=$(sed -n '/^ExecStart=/,/[^\\]$/p' "$units/veltrix-status.service" |
        sed 's/^ExecStart=//; s/\\$//' | tr -s ' \n' ' ')
    mkdir -p "$work/credentials" "$work/state" "$work/node-exporter"
    printf 'kavo\n' >"$work/credentials/password"
    chmod 0600 "$work/credentials/password"
    command=${command//'${CREDENTIALS_DIRECTORY}'/$work/credentials}
    command=${command//'${STATE_DIRECTORY}'/$work/state}
    command=${command//\/var\/lib\/prometheus\/node-exporter/$work/node-exporter}
    command=${command//\/usr\/bin\/veltrix-status/$root/usr/bin/veltrix-status}
    sim=$out/veltrix-servicesim/usr/bin/veltrix-servicesim
    "$sim" --pipe-dir="$work/pipe" >"$work/sim.out" 2>&1 &
    sim_pid=$!
    for _ in $(seq 100); do
        grep -q 'listening on' "$work/sim.out" && break
        sleep 0.1
    done
    for run in first second; do
        status=0
        VELTRIX_PIPE_DIR=$work/pipe $command 2>"$work/err" || status=$?
        # The default scenario has a failing drive: a status (0), the metrics written.
        [ "$status" -eq 0 ] || { cat "$work/err"; fail "the unit's command ($run run): $status"; }
    done
    grep -q '^veltrix_up{host="[^".]*"} 1$' "$work/node-exporter/veltrix.prom" ||
        fail "no veltrix_up 1 of this machine in the metrics"
    grep -q 'veltrix_raid_set_rebuild_speed_bytes_per_second' "$work/node-exporter/veltrix.prom" ||
        fail "no rebuild speed from the state folder's samples"
    ;;

purge)
    out=$(realpath "$1")
    has "$out" veltrix-status || exit 0
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    dpkg-deb -e "$(the_deb "$out" veltrix-status)" "$work/control"
    cp -r "$out/veltrix-status/." "$work/root"
    export DPKG_ROOT=$work/root DPKG_MAINTSCRIPT_PACKAGE=veltrix-status
    DPKG_MAINTSCRIPT_NAME=postinst "$work/control/postinst" configure
    # What "systemctl enable --now veltrix-status.timer" and its runs leave behind.
    wants=$work/root/etc/systemd/system/timers.target.wants
    mkdir -p "$wants" "$work/root/var/lib/veltrix-status" "$work/root/var/lib/prometheus/node-exporter"
    ln -s /usr/lib/systemd/system/veltrix-status.timer "$wants/"
    touch "$work/root/var/lib/veltrix-status/rebuild-samples.json" \
        "$work/root/var/lib/prometheus/node-exporter/"{veltrix,other}.prom
    DPKG_MAINTSCRIPT_NAME=postrm "$work/control/postrm" purge
    left=$(cd "$work/root" && find etc/systemd var/lib/veltrix-status var/lib/prometheus \
        ! -type d 2>/dev/null || true)
    [ "$left" = var/lib/prometheus/node-exporter/other.prom ] || fail "a purge left: $left"
    ;;

*)
    fail "unknown step $step"
    ;;
esac
echo "package $step: passed"
