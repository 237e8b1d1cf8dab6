# What the install checks share. check_layout PREFIX APP_ID checks an installed tree; every
# fault found prints one line and counts in FAULTS. Needs desktop-file-validate and appstreamcli.

FAULTS=0
fault() {
    echo "FAULT: $*"
    FAULTS=$((FAULTS + 1))
}

png_size() { # WIDTHxHEIGHT of a PNG file, from its header
    local b
    read -r -a b < <(od -An -tu1 -j16 -N8 "$1")
    echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}

# The command words that `orvel-cli --help` lists ("  WORD ..." lines).
help_commands() {
    "$1" --help | sed -n 's/^  \([a-z][a-z-]*\)\b.*/\1/p'
}

# The tags of a manual page's COMMANDS section: the first word after each .TP's macro.
manual_commands() {
    gzip -dcf "$1" | sed -n '/^\.SH COMMANDS/,/^\.SH /p' |
        awk '/^\.TP/ { getline; sub(/^\.[A-Z]+ +/, ""); gsub(/"/, ""); print $1 }'
}

check_layout() {
    local prefix=$1 id=$2 f

    for f in bin/orvel bin/orvel-cli; do
        [ -x "$prefix/$f" ] || fault "$f is missing or not executable"
    done
    local desktop=$prefix/share/applications/$id.desktop
    local metainfo=$prefix/share/metainfo/$id.metainfo.xml
    if [ -f "$desktop" ]; then
        desktop-file-validate "$desktop" || fault "desktop-file-validate rejects $id.desktop"
        grep -qx "Exec=orvel" "$desktop" || fault "the desktop entry does not start orvel"
        grep -qx "Icon=$id" "$desktop" || fault "the desktop entry's icon is not $id"
    else
        fault "share/applications/$id.desktop is missing"
    fi
    if [ -f "$metainfo" ]; then
        appstreamcli validate --no-net "$metainfo" || fault "appstreamcli rejects the metainfo"
        grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
            fault "the metainfo does not launch $id.desktop"
    else
        fault "share/metainfo/$id.metainfo.xml is missing"
    fi
    local size icon
    for size in 16 32 48 64 128 256; do
        icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
        if [ ! -f "$icon" ]; then
            fault "the ${size}x${size} icon is missing"
        elif [ "$(png_size "$icon")" != "${size}x${size}" ]; then
            fault "the ${size}x${size} icon is $(png_size "$icon")"
        fi
    done
    local man
    man=$(ls "$prefix"/share/man/man1/orvel-cli.1* 2>/dev/null | head -n1)
    if [ -z "$man" ]; then
        fault "the manual page of orvel-cli is missing"
    elif [ -x "$prefix/bin/orvel-cli" ]; then
        local listed documented
        listed=$(help_commands "$prefix/bin/orvel-cli")
        documented=$(manual_commands "$man")
        [ -n "$listed" ] || fault "orvel-cli --help lists no command"
        for f in $listed; do
            grep -qx -- "$f" <<<"$documented" ||
                fault "orvel-cli --help lists '$f' but its manual page (dist/orvel-cli.1) does not"
        done
        # Every option --help names is in the page too (written \-\-name there).
        local option source
        source=$(gzip -dcf "$man")
        for option in $("$prefix/bin/orvel-cli" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
            grep -qF -- "${option//-/\\-}" <<<"$source" ||
                fault "orvel-cli --help names '$option' but its manual page does not"
        done
        # The page as man shows it: the data folder's files with their commas in place.
        if command -v man >/dev/null 2>&1; then
            local rendered
            rendered=$(MANWIDTH=120 man -l "$man" 2>/dev/null | col -b)
            grep -q 'ORVEL.prefs, ORVEL.qld, ORVEL.bak' <<<"$rendered" ||
                fault "the manual page's FILES do not read 'ORVEL.prefs, ORVEL.qld, ORVEL.bak'"
            ! grep -q ' ,  ' <<<"$rendered" ||
                fault "the manual page shows a comma with spaces around it: $(grep ' ,  ' <<<"$rendered")"
        fi
    fi
    ls "$prefix"/share/man/man1/orvel.1* >/dev/null 2>&1 || fault "the manual page of orvel is missing"
}

need_tools() { # exits 77 (skipped) when a tool is missing
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIPPED: $tool is not installed (bash scripts/setup.sh --tests installs it)"
            exit 77
        fi
    done
}
