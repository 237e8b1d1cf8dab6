#!/usr/bin/env bash
# Writes the package's changelog.gz (Debian's changelog format) from the project's own history:
# one entry for the version being built, listing the subject of every change, newest first.
#   make_changelog.sh SOURCE_DIR VERSION MAINTAINER OUTPUT.gz
# The file is rewritten only when its text changes, so that an unchanged history rebuilds nothing.
set -euo pipefail
source_dir=$1
version=$2
maintainer=$3
output=$4
export LC_ALL=C

text=$(mktemp)
trap 'rm -f "$text" "$text.gz"' EXIT
{
    printf 'orvel (%s) unstable; urgency=medium\n\n' "$version"
    if git -C "$source_dir" rev-parse --verify -q HEAD >/dev/null 2>&1; then
        # Each subject is a bullet, wrapped to fit Debian's 80 columns.
        git -C "$source_dir" log --no-merges --format='%s' |
            while IFS= read -r subject; do
                printf '%s\n' "$subject" | fold -s -w 74 | sed -e 's/ *$//' -e '1s/^/  * /' \
                    -e '2,$s/^/    /'
            done
        date=$(git -C "$source_dir" log -1 --date=format:'%a, %d %b %Y %H:%M:%S %z' --format=%cd)
    else
        printf '  * Built from a source tree without its history.\n'
        date=$(date -u -d "@${SOURCE_DATE_EPOCH:-$(date +%s)}" '+%a, %d %b %Y %H:%M:%S %z')
    fi
    printf '\n -- %s  %s\n' "$maintainer" "$date"
} >"$text"
gzip -9 -n -c "$text" >"$text.gz"
if ! cmp -s "$text.gz" "$output"; then
    mkdir -p "$(dirname "$output")"
    cp "$text.gz" "$output"
fi
