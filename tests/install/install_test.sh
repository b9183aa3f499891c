#!/usr/bin/env bash
# usage: install_test.sh BUILD_DIR VERSION WITH_GUI(0|1)
set -euo pipefail
build=$1 version=$2 gui=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

[ "$("$prefix/bin/trelmox-cli" --version)" = "trelmox-cli $version" ] || fail "trelmox-cli --version"
"$prefix/bin/trelmox-cli" analyze "$prefix/share/trelmox/example.txt" | grep -q '^example  *BothPlanes  *1\.189' ||
  fail "analysis of the installed example block"
# The manual pages compressed, as Debian keeps them, each one that man reads.
for page in trelmox-cli $([ "$gui" = 1 ] && echo trelmox) $([ -e "$build/bin/trelmox-report" ] && echo trelmox-report); do
  gzip -t "$prefix/share/man/man1/$page.1.gz" 2>/dev/null || fail "no compressed manual page of $page"
  zcat "$prefix/share/man/man1/$page.1.gz" | grep -q "^\.TH ${page^^} 1" || fail "manual page of $page"
done
[ -s "$prefix/share/doc/trelmox/copyright" ] || fail "no copyright file"

# The PDF writer, when built, is found beside the installed tool.
if [ -e "$build/bin/trelmox-report" ]; then
  env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/trelmox-cli" report --pdf-dir "$prefix/pdf" \
    "$prefix/share/trelmox/example.txt" >/dev/null || fail "report of the installed example block"
  [ -s "$prefix/pdf/example计算书.pdf" ] || fail "no PDF of the installed example block"
fi

# The completion, loaded as bash-completion loads it, offers the input names.
completion="$prefix/share/bash-completion/completions/trelmox-cli"
offered=$(bash -c 'source "$1"; COMP_WORDS=(trelmox-cli probabilistic x --sd u); COMP_CWORD=4; _trelmox_cli
                   echo "${COMPREPLY[*]}"' _ "$completion")
[ "$offered" = "u1= u2=" ] || fail "completion of --sd u offers '$offered'"

if [ "$gui" = 1 ]; then
  [ "$("$prefix/bin/trelmox" --version)" = "trelmox $version" ] || fail "trelmox --version"
  desktop="$prefix/share/applications/trelmox.desktop"
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$prefix/bin/$exec_name" ] || fail "the desktop entry starts '$exec_name', which is not installed"
  icons="$prefix/share/icons/hicolor"
  [ -s "$icons/scalable/apps/trelmox.svg" ] || fail "no SVG icon"
  for size in 16 22 24 32 48 64 128 256; do
    file "$icons/${size}x${size}/apps/trelmox.png" | grep -q "PNG image data, $size x $size" ||
      fail "no ${size}x${size} PNG icon"
  done
fi
# The Python module, where Debian's interpreters look, imported by one.
python_dir="$prefix/lib/python3/dist-packages"
if [ -d "$python_dir/trelmox" ]; then
  PYTHONPATH="$python_dir" /usr/bin/python3 -c '
import sys, trelmox
result = trelmox.read_block(sys.argv[1]).analyse()
assert result.contact == "BothPlanes" and abs(result.kc - 1.189) < 1e-3, result
assert trelmox.__version__ == sys.argv[2], trelmox.__version__' "$prefix/share/trelmox/example.txt" "$version" ||
    fail "import trelmox from the installed package"
fi
echo "installed and used: $(cd "$prefix" && find . -type f | wc -l) files"
