#!/usr/bin/env bash
# check_install.sh BUILD_DIR: installs into a temporary DESTDIR and checks the
# files, the desktop entry, the metainfo and the MIME types of corpus files.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
id=org.kandelo.Kandelo
files=(usr/bin/kandelo-cli usr/share/mime/packages/$id.xml usr/share/man/man1/kandelo-cli.1
       usr/share/doc/kandelo/validation.md usr/share/doc/kandelo/copyright usr/share/doc/kandelo/THIRD-PARTY-NOTICES)
if [ -e "$build/src/app/kandelo" ]; then
  files+=(usr/bin/kandelo usr/share/applications/$id.desktop usr/share/icons/hicolor/scalable/apps/$id.svg
          usr/share/metainfo/$id.metainfo.xml usr/share/man/man1/kandelo.1)
fi
status=0
grep -q '^License: Apache-2.0$' "$stage/usr/share/doc/kandelo/copyright" 2>/dev/null || { echo "copyright: no Apache-2.0"; status=1; }
for f in "${files[@]}"; do
  [ -f "$stage/$f" ] || { echo "not installed: $f"; status=1; }
done
"$stage/usr/bin/kandelo-cli" --version | grep -q '^kandelo-cli ' || { echo "kandelo-cli --version fails"; status=1; }
if [ -e "$stage/usr/share/applications/$id.desktop" ] && command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$stage/usr/share/applications/$id.desktop" || status=1
fi
if [ -e "$stage/usr/share/metainfo/$id.metainfo.xml" ] && command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$stage/usr/share/metainfo/$id.metainfo.xml" >/dev/null || status=1
fi
if command -v groff >/dev/null; then
  for page in "$stage"/usr/share/man/man1/*.1; do
    [ -z "$(groff -man -ww -z "$page" 2>&1)" ] || { echo "groff: $page has warnings"; status=1; }
  done
fi
corpus=../shared/corpus
if command -v update-mime-database >/dev/null && command -v xdg-mime >/dev/null && [ -d "$corpus" ]; then
  mkdir -p "$stage/xdg/mime/packages"
  cp "$stage/usr/share/mime/packages/$id.xml" "$stage/xdg/mime/packages/"
  update-mime-database "$stage/xdg/mime" 2>/dev/null
  check() {  # file, expected type
    local got
    got=$(XDG_DATA_HOME=$stage/xdg xdg-mime query filetype "$1" 2>/dev/null)
    [ "$got" = "$2" ] || { echo "xdg-mime: $1 is $got, not $2"; status=1; }
  }
  check "$corpus/eulumdat-ugr/data/input/sample_01.ldt" application/x-eulumdat
  check "$corpus/CU-calculations-based-on-IES-file/ies/1.IES" application/x-ies-lm63
  # By its "IESNA" line alone.
  cp "$corpus/lidrs/src/io/ies/iesna2002_example_typec.ies" "$stage/photometry"
  check "$stage/photometry" application/x-ies-lm63
fi
exit $status
