#!/usr/bin/env bash
# Checks of the layering that the compiler cannot make:
# - every message box and file dialog is shown through the Dialogs interface (QtDialogs);
# - the build lists its files (no globbing in a CMakeLists.txt);
# - the core library holds nothing of the widgets and nothing of the command line;
# - the main window names no control of a work area.
#   layering.sh PROJECT_DIR CORE_LIBRARY
set -uo pipefail
project="$1"
core="$2"
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

direct=$(grep -rn -E 'QMessageBox|QFileDialog|QInputDialog' "$project/src" --include='*.h' --include='*.cpp' \
         | grep -v -E '/src/platform/gui/QtDialogs\.(h|cpp):')
[ -z "$direct" ] || fail "message boxes and dialogs outside QtDialogs:
$direct"

globbing=$(find "$project" \( -path "$project/build*" -o -path "$project/.git" \) -prune -o -name CMakeLists.txt -print0 \
           | xargs -0 grep -n -E 'file *\( *GLOB' || true)
[ -z "$globbing" ] || fail "a CMakeLists.txt globs for files:
$globbing"

symbols=$(nm -C "$core") || fail "cannot list the symbols of $core"
[ -n "$symbols" ] || fail "no symbols in $core"
widgets=$(grep -E 'QWidget|QApplication|QDialog|QMessageBox|QAbstractButton|QGuiApplication' <<<"$symbols" | head -5)
[ -z "$widgets" ] || fail "the core library uses widgets or Qt GUI:
$widgets"
cli=$(grep -F 'tolvane::cli::' <<<"$symbols" | head -5)
[ -z "$cli" ] || fail "the core library holds command-line code:
$cli"

controls=$(grep -n -E '"(cbox|lb|st|sl|ed|bitbtn|ckbox|OD|SD)[A-Z][A-Za-z]*"' "$project"/src/app/uMain.* || true)
[ -z "$controls" ] || fail "the main window names a control of a work area:
$controls"

[ "$failed" -eq 0 ] && echo "layering: sources, build files, core symbols and the main window checked"
exit "$failed"
