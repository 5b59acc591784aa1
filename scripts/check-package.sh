#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it as a desktop
# would: the desktop entry and the metainfo validate, every installed piece is
# in the package, and the packaged program answers --version.
# scripts/check-package.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/${1:-build}"

desktop-file-validate "$root/packaging/clanbook.desktop"
appstreamcli validate --no-net "$root/packaging/clanbook.metainfo.xml"

rm -f "$build"/clanbook_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/clanbook_*.deb)
deb=${debs[0]}
[[ -f $deb ]] || { echo "check-package: no package was made" >&2; exit 1; }

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
expected=(
  ./usr/bin/clanbook
  ./usr/share/clanbook/translations/clanbook_en.qm
  ./usr/share/applications/clanbook.desktop
  ./usr/share/mime/packages/clanbook.xml
  ./usr/share/metainfo/example.morvane.Clanbook.metainfo.xml
  ./usr/share/man/man1/clanbook.1
  ./usr/share/icons/hicolor/scalable/apps/clanbook.svg
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/clanbook.png")
done
status=0
for path in "${expected[@]}"; do
  grep -qxF "$path" <<<"$contents" || { echo "check-package: $path is missing" >&2; status=1; }
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 ||
  { echo "check-package: the package does not depend on Qt" >&2; status=1; }
# The printed book's face: nothing links it, so dpkg-shlibdeps cannot find it.
dpkg-deb -f "$deb" Depends | grep -q fonts-arphic-uming ||
  { echo "check-package: the package does not depend on the book's face (fonts-arphic-uming)" >&2; status=1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"
for path in "${expected[@]}"; do
  [[ $path == *.png ]] || continue
  file -b "$scratch/$path" | grep -q "^PNG image data" ||
    { echo "check-package: $path is no PNG" >&2; status=1; }
done
version=$(QT_QPA_PLATFORM=offscreen "$scratch/usr/bin/clanbook" --version)
[[ $version == "clanbook "* ]] || { echo "check-package: --version said '$version'" >&2; status=1; }
help=$(QT_QPA_PLATFORM=offscreen "$scratch/usr/bin/clanbook" --lang en --help)
[[ $help == *--lang* ]] || { echo "check-package: --help lacks --lang" >&2; status=1; }
((status == 0)) && echo "check-package: $(basename "$deb") is complete ($version)"
exit $status
