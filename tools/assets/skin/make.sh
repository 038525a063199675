#!/usr/bin/env bash
# Re-makes data/skin/ and data/skin.tsv (deterministic: same bytes on every run).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
rm -rf "$root/data/skin"
/usr/bin/python3 "$here/make_skin.py" "$root"
