#!/usr/bin/env bash
# Re-makes data/ui/, data/icons/ and data/ui.tsv (deterministic: same bytes on every run).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
rm -rf "$root/data/ui" "$root/data/icons"
/usr/bin/python3 "$here/make_ui.py" "$root"
