#!/usr/bin/env bash
# Checks what a desktop gets of the program, with the desktop's own validators.
#   check_install.sh install <build folder> <application id>
#       installs into a temporary prefix: exactly the expected files, valid, icons of their size
#   check_install.sh package <build folder> <application id> <version>
#       builds the .deb with cpack: the same files under /usr, control fields from dpkg-shlibdeps
set -euo pipefail
mode=${1:?usage: check_install.sh install|package <build folder> <application id> [version]}
build=${2:?}
id=${3:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Every file the program installs, relative to the prefix.
expected_files() {
    echo "bin/marivane"
    echo "share/applications/$id.desktop"
    for size in 16 32 48 64 128 256; do
        echo "share/icons/hicolor/${size}x${size}/apps/$id.png"
    done
    echo "share/icons/hicolor/scalable/apps/$id.svg"
    echo "share/metainfo/$id.metainfo.xml"
    echo "share/man/man1/marivane.1.gz"
    echo "share/doc/marivane/copyright"
    echo "share/doc/marivane/changelog.gz"
    echo "lib/systemd/user/marivane-send.service"
    echo "lib/systemd/user/marivane-send.timer"
}

# The daily send's units: the service runs the installed program, the timer can be enabled.
units_check() {
    local root=$1 bindir=$2
    local units=$root/lib/systemd/user
    grep -qx "ExecStart=$bindir/marivane --send" "$units/marivane-send.service" ||
        fail "the send service does not run $bindir/marivane --send"
    grep -qx "WantedBy=timers.target" "$units/marivane-send.timer" ||
        fail "the send timer cannot be enabled"
}

same_files() {
    local what=$1 got=$2
    diff <(expected_files | sort) <(echo "$got" | sort) >&2 || fail "$what holds other files than expected"
}

install_check() {
    local prefix=$work/prefix
    cmake --install "$build" --prefix "$prefix" >/dev/null
    same_files "the install" "$(cd "$prefix" && find . -type f | sed 's|^\./||')"
    [ -x "$prefix/bin/marivane" ] || fail "bin/marivane is not executable"
    "$prefix/bin/marivane" --version | grep -qE '^marivane [0-9]' ||
        fail "the installed program does not tell its version"
    gzip -t "$prefix/share/man/man1/marivane.1.gz" "$prefix/share/doc/marivane/changelog.gz" ||
        fail "the manual page or the changelog is not compressed whole"
    units_check "$prefix" "$prefix/bin"
    # systemd's own judge, where it is installed: it also runs the installed manual page that
    # the units name, and finds the program they start.
    if command -v systemd-analyze >/dev/null; then
        local verdict
        mkdir -m 700 "$work/run"
        verdict=$(XDG_RUNTIME_DIR=$work/run MANPATH=$prefix/share/man systemd-analyze --user verify \
            "$prefix/lib/systemd/user/marivane-send.service" \
            "$prefix/lib/systemd/user/marivane-send.timer" 2>&1) ||
            fail "systemd-analyze verify: $verdict"
        [ -z "$verdict" ] || fail "systemd-analyze verify: $verdict"
        echo "systemd-analyze verify: the send units are valid"
    fi

    local desktop=$prefix/share/applications/$id.desktop
    local report
    # Hints count too: a clean entry shows up once and where it belongs.
    report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
    [ -z "$report" ] || fail "desktop-file-validate: $report"
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry names another icon"
    grep -qx "Exec=marivane" "$desktop" || fail "the desktop entry starts another program"

    local metainfo=$prefix/share/metainfo/$id.metainfo.xml
    appstreamcli validate --no-net "$metainfo" >&2 || fail "appstreamcli rejects the metainfo"
    for tag in "<id>$id</id>" "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
               "<project_license>" "<release version="; do
        grep -qF "$tag" "$metainfo" || fail "the metainfo lacks $tag"
    done

    for size in 16 32 48 64 128 256; do
        file "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" |
            grep -q "PNG image data, $size x $size," || fail "the $size pixel icon is not $size pixels"
    done
    file "$prefix/share/icons/hicolor/scalable/apps/$id.svg" | grep -q "SVG" ||
        fail "the scalable icon is no SVG"
    echo "install holds $(expected_files | wc -l) files, all valid"
}

package_check() {
    local version=${1:?the version is needed}
    (cd "$build" && cpack -G DEB -B "$work" >/dev/null) || fail "cpack failed"
    local debs=("$work"/*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb"
    local deb=${debs[0]}

    local contents
    contents=$(dpkg-deb --contents "$deb")
    same_files "the package" "$(echo "$contents" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||')"
    echo "$contents" | grep -qE '^-rwxr-xr-x root/root .* \./usr/bin/marivane$' ||
        fail "the program is not an executable owned by root"
    dpkg-deb -x "$deb" "$work/root"
    units_check "$work/root/usr" /usr/bin

    [ "$(dpkg-deb --field "$deb" Package)" = marivane ] || fail "wrong package name"
    [ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "wrong version"
    [ "$(dpkg-deb --field "$deb" Architecture)" = "$(dpkg --print-architecture)" ] ||
        fail "wrong architecture"
    local depends
    depends=$(dpkg-deb --field "$deb" Depends)
    # dpkg-shlibdeps names the library packages with the versions the program was linked against.
    for package in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6network6 libqt6dbus6 \
                   libpugixml1v5; do
        [[ ", $depends" == *", $package (>= "* ]] ||
            fail "Depends lacks $package with its version: $depends"
    done
    [[ ", $depends, " == *", qt6-qpa-plugins, "* ]] ||
        fail "Depends lacks the platform plugins: $depends"
    echo "$(basename "$deb"): Depends: $depends"

    # The desktop's and Debian's own judges, where they are installed. The metainfo is checked
    # with the network allowed: an address in it that cannot be reached fails here too.
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate "$work/root/usr/share/metainfo/$id.metainfo.xml" >&2 ||
            fail "appstreamcli rejects the packaged metainfo"
    fi
    if command -v lintian >/dev/null; then
        local verdict status=0
        verdict=$(lintian --fail-on error,warning "$deb" 2>&1) || status=$?
        # Its word on being run as root, as CI runs, is no finding.
        verdict=$(echo "$verdict" | grep -v 'running with root privileges' || true)
        [ "$status" -eq 0 ] || fail "lintian: $verdict"
        echo "lintian: ${verdict:-no error, no warning}"
    fi
}

case $mode in
install) install_check ;;
package) package_check "${4:-}" ;;
*) fail "unknown mode $mode" ;;
esac
