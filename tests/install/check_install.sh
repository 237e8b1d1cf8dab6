#!/usr/bin/env bash
# `cmake --install` into a temporary prefix lays out what a Linux desktop needs, and the
# desktop's own validators accept it.
#   check_install.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1
id=$2
source "$(dirname "$0")/layout.sh"
need_tools desktop-file-validate appstreamcli

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
check_layout "$prefix" "$id"
echo "installed layout: $FAULTS fault(s)"
[ "$FAULTS" -eq 0 ]
