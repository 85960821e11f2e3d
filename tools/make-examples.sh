#!/usr/bin/env bash
# Writes the example trusses of examples/ again, the same bytes on every machine.
#
#   bash tools/make-examples.sh [TRUSSGEN [FOLDER]]
#
# TRUSSGEN is a built trabex-trussgen (default build/tools/trabex-trussgen, built when missing),
# FOLDER where the files go (default examples/). The Info stamp is the one an installed copy
# gives, with a fixed date and volume, so the files name no folder of the machine that made
# them; the C locale keeps the numbers' decimal point the same everywhere. A scratch home keeps
# the user's save counter and trash out of it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
trussgen="${1:-$root/build/tools/trabex-trussgen}"
folder="${2:-$root/examples}"
stamp="1 Jan 2026 00:00:00 UTC /usr/bin/trabex-trussgen SN:0000-0000"

if [[ $# -eq 0 && ! -x "$trussgen" ]]; then
    cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$root/build" --target trabex-trussgen
fi
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
HOME="$scratch" XDG_CONFIG_HOME="$scratch/.config" XDG_DATA_HOME="$scratch/.local/share" \
    LC_ALL=C.UTF-8 LANG=C.UTF-8 "$trussgen" --stamp "$stamp" "$folder" >/dev/null
