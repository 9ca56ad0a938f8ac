#!/usr/bin/env bash
# Installs Kelvra silently into the Wine prefix of the test run, as an
# administrator deploys it; checks the files and the registrations; uses the
# installed copies as the shell and a user do (installed_kelvra_tests, the
# installed kelvra-thumb); uninstalls silently and compares the registry
# (HKLM\Software and HKEY_CLASSES_ROOT, 64-bit view) with its state before.
# Two rounds:
#   1. no FITS extension has a file type: all three get ours; installing a
#      second time changes nothing; the default uninstall removes the
#      viewer's stored placement as well.
#   2. ".fit" belongs to another program's file type, which stays, and
#      ".fts" is an empty key, which stays too; the uninstall with
#      /KEEPSETTINGS runs while the viewer shows a file, closes it and keeps
#      the placement the viewer stores on closing.
# Runs inside scripts/wine-session (one server, WINEPREFIX set).
# Usage: install_cycle.sh EMULATOR SETUP TESTS SOURCE_DIR WORK_DIR NAME=BUILT_FILE...
set -uo pipefail
run=$1 setup=$2 tests=$3 source=$4 work=$5
shift 5
built_files=("$@")
: "${WINEPREFIX:?run this inside scripts/wine-session}"

folder='c:\program files\kelvra'
unix_folder="$WINEPREFIX/drive_c/Program Files/kelvra"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvra'
settings_key='HKLM\Software\Corvane\Kelvra\Pos'
thumbnail_clsid='{5BA116C3-6A83-4FFB-8201-D904D2AC7ED0}'
menu_clsid='{60EBFDD7-9706-4289-8E24-FFDA3E4D3844}'
thumbnail_handler='shellex\{BB2E617C-0920-11d1-9A0B-00C04FC2D6C1}'
other_type='OtherViewer.FitFile'
approved_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved'

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
step() { echo "--- $*"; }

# Data of a registry value (the default value without NAME); status 1 when
# the key or the value is missing.
reg_get() {  # KEY [NAME]
  local out
  if [ $# -eq 2 ]; then
    out=$("$run" reg query "$1" /v "$2" 2>/dev/null) || return 1
  else
    out=$("$run" reg query "$1" /ve 2>/dev/null) || return 1
  fi
  # Lines of values: four blanks, name, type and data, four blanks apart.
  tr -d '\r' <<<"$out" | awk -F '    ' '$3 ~ /^REG_/ {print $4; exit}'
}

expect_value() {  # KEY NAME-OR-EMPTY EXPECTED
  local actual
  if ! actual=$(reg_get "$1" ${2:+"$2"}); then
    fail "$1 [${2:-(default)}] is missing, expected '$3'"
  elif [ "$actual" != "$3" ]; then
    fail "$1 [${2:-(default)}] is '$actual', expected '$3'"
  fi
}

expect_no_key() {  # KEY
  "$run" reg query "$1" >/dev/null 2>&1 && fail "$1 exists"
}

# HKLM\Software and HKEY_CURRENT_USER\Software\Classes as text. The two hold
# all of HKEY_CLASSES_ROOT, which is their Classes keys merged; exporting
# HKEY_CLASSES_ROOT as well would only repeat HKLM\Software\Classes.
export_registry() {  # FILE
  : >"$1"
  "$run" reg export 'HKLM\Software' "$1.part" /y >/dev/null 2>&1 || fail "reg export HKLM\Software"
  iconv -f UTF-16 -t UTF-8 "$1.part" | tr -d '\r' >>"$1"
  # A missing key exports nothing.
  if "$run" reg export 'HKCU\Software\Classes' "$1.part" /y >/dev/null 2>&1; then
    iconv -f UTF-16 -t UTF-8 "$1.part" | tr -d '\r' >>"$1"
  fi
  rm -f "$1.part"
}

expect_same_registry() {  # BEFORE AFTER WHAT
  if ! diff -u "$1" "$2" >"$2.diff"; then
    fail "the registry differs $3:"
    head -n 60 "$2.diff"
  fi
}

run_setup() {
  "$run" "$setup" /S
  local status=$?
  [ $status -eq 0 ] || fail "the silent installation ended with $status"
}

# The uninstaller copies itself to the temporary folder and runs from there,
# so the program started here ends at once; the uninstall key goes last.
run_uninstall() {  # OPTIONS...
  "$run" "$folder\\uninstall.exe" /S "$@"
  local status=$? waited=0
  [ $status -eq 0 ] || fail "the silent uninstallation ended with $status"
  while "$run" reg query "$uninstall_key" >/dev/null 2>&1; do
    [ $waited -lt 600 ] || { fail "the uninstaller did not finish"; return; }
    sleep 0.1
    waited=$((waited + 1))
  done
}

expect_installed_files() {
  local pair name expected actual
  for pair in "${built_files[@]}"; do
    name=${pair%%=*}
    cmp -s "$unix_folder/$name" "${pair#*=}" || fail "$folder\\$name is not the built ${pair#*=}"
  done
  cmp -s "$unix_folder/XPViews/desktop.ini" "$source/installer/desktop.ini" ||
    fail "$folder\\XPViews\\desktop.ini is not the template of the sources"
  expected=$({ for pair in "${built_files[@]}"; do echo "${pair%%=*}"; done
               echo uninstall.exe; echo XPViews; echo XPViews/desktop.ini; } | sort)
  actual=$(cd "$unix_folder" 2>/dev/null && find . -mindepth 1 | sed 's|^\./||' | sort)
  [ "$actual" == "$expected" ] || fail "installed files: $(echo $actual), expected $(echo $expected)"
}

expect_extension_registrations() {  # FILE-TYPE-OF-.fit
  local ext
  for ext in .fit .fts .fits; do
    expect_value "HKCR\\$ext\\$thumbnail_handler" "" "$thumbnail_clsid"
  done
  expect_value "HKCR\\CLSID\\$thumbnail_clsid\\InprocServer32" "" "$folder\\vantel.dll"
  expect_value "HKCR\\CLSID\\$thumbnail_clsid\\InprocServer32" ThreadingModel Apartment
  expect_value "HKCR\\$1\\ShellEx\\ContextMenuHandlers\\KLVXP" "" "$menu_clsid"
  expect_value "HKCR\\CLSID\\$menu_clsid\\InprocServer32" "" "$folder\\KLVXP.dll"
  expect_value "$approved_key" "$menu_clsid" 'KLVXP Shell Extension'
  expect_value "HKCR\\Kelvra.FitsImage\\DefaultIcon" "" "$folder\\Kelvra.exe,0"
  expect_value "HKCR\\Kelvra.FitsImage\\shell\\open\\command" "" "\"$folder\\kelvra-open.exe\" \"%1\""
  expect_value "$uninstall_key" DisplayName 'Kelvra FITS viewer'
  expect_value "$uninstall_key" UninstallString "\"$folder\\uninstall.exe\""
  expect_value "$uninstall_key" QuietUninstallString "\"$folder\\uninstall.exe\" /S"
}

# Runs a program that may start the viewer with its output in a file: the
# viewer inherits the output handles, and a viewer left running would hold
# the test's pipe open.
run_logged() {  # PROGRAM ARGUMENTS...
  "$run" "$@" >"$work/output.log" 2>&1
  local status=$?
  tr -d '\r' <"$work/output.log"
  return $status
}

expect_uninstalled_files() {
  [ ! -e "$unix_folder" ] || fail "$folder is left: $(cd "$unix_folder" && find . -mindepth 1 | tr '\n' ' ')"
}

# --- preparation: samples under the names the tests open, a known state ---
rm -rf "$work"
mkdir -p "$work/thumbnails"
cp "$source/samples/crab-nebula.fits" "$work/crab.fit"
cp "$source/samples/sun-heliographic-phase-map.fits" "$work/sun-map.fts"
cp "$source/samples/crab-nebula.fits" "$work/crab.fits"
KELVRA_TEST_FILES=$("$run" winepath -w "$work" 2>/dev/null | tr -d '\r')
export KELVRA_TEST_FILES
not_clean() { echo "FAIL: the prefix is not clean: $* (left by another test?)"; exit 1; }
for key in 'HKCR\Kelvra.FitsImage' "HKCR\\$other_type" "HKCR\\CLSID\\$thumbnail_clsid" "HKCR\\CLSID\\$menu_clsid" \
  "$uninstall_key"; do
  "$run" reg query "$key" >/dev/null 2>&1 && not_clean "$key exists"
done
reg_get "$approved_key" "$menu_clsid" >/dev/null && not_clean "$approved_key holds $menu_clsid"
# The thumbnail extension's unregistration leaves the extensions' keys
# empty; round 1 starts without them.
for ext in .fit .fts .fits; do
  if content=$("$run" reg query "HKCR\\$ext" 2>/dev/null); then
    [ -z "$(tr -d '\r' <<<"$content" | grep -v '^$')" ] || not_clean "HKCR\\$ext is not empty"
    "$run" reg delete "HKCR\\$ext" /f >/dev/null 2>&1
  fi
done
[ ! -e "$unix_folder" ] || { echo "FAIL: the prefix is not clean: $folder exists"; exit 1; }
"$run" reg delete 'HKLM\Software\Corvane' /f >/dev/null 2>&1

# --- round 1 ---
step "round 1: no FITS file types yet"
export_registry "$work/before1.reg"
run_setup
expect_installed_files
for ext in .fit .fts .fits; do
  expect_value "HKCR\\$ext" "" Kelvra.FitsImage
  expect_value "$uninstall_key" "Mapped$ext" key
done
expect_extension_registrations Kelvra.FitsImage

step "installing a second time"
export_registry "$work/installed1.reg"
run_setup
export_registry "$work/installed2.reg"
expect_same_registry "$work/installed1.reg" "$work/installed2.reg" "after a second installation"

step "thumbnails through the installed handler (installed kelvra-thumb)"
export VARNEX_LOG="$work/varnex.log"
rm -f "$VARNEX_LOG"
thumb_dir=$("$run" winepath -w "$work/thumbnails" 2>/dev/null | tr -d '\r')
"$run" "$folder\\kelvra-thumb.exe" "$KELVRA_TEST_FILES\\crab.fit" "$KELVRA_TEST_FILES\\sun-map.fts" \
  "$KELVRA_TEST_FILES\\crab.fits" --out "$thumb_dir" || fail "kelvra-thumb ended with $?"
for name in crab.fit sun-map.fts crab.fits; do
  size=$(identify -format '%wx%h' "$work/thumbnails/$name.png" 2>/dev/null)
  [ "$size" == "96x96" ] || fail "the thumbnail of $name is '$size', expected 96x96"
done
# The installed vantel.dll reports each decode to the installed Varnex.dll.
calls=$(cut -f1,2 "$VARNEX_LOG" 2>/dev/null | tr -d '\r')
expected_calls=$(printf '3060\t%s\n' "$KELVRA_TEST_FILES\\crab.fit" "$KELVRA_TEST_FILES\\sun-map.fts" \
  "$KELVRA_TEST_FILES\\crab.fits")
[ "$calls" == "$expected_calls" ] || fail "ImageView calls: '$calls', expected '$expected_calls'"
unset VARNEX_LOG

step "the Open verb and the folder command of the installed copies"
run_logged "$tests" --gtest_filter='-AfterUninstall.*' || fail "installed_kelvra_tests"

step "silent uninstallation"
run_uninstall
expect_uninstalled_files
run_logged "$tests" --gtest_filter='AfterUninstall.*' || fail "installed_kelvra_tests after the uninstallation"
export_registry "$work/after1.reg"
expect_same_registry "$work/before1.reg" "$work/after1.reg" "after the uninstallation"

# --- round 2 ---
step "round 2: .fit belongs to another program, .fts is an empty key"
"$run" reg add "HKCR\\.fit" /ve /d "$other_type" /f >/dev/null
"$run" reg add "HKCR\\$other_type\\shell\\open\\command" /ve /d '"c:\other\viewer.exe" "%1"' /f >/dev/null
# An empty key, without the default value that "reg add" would give it.
"$run" reg add "HKCR\\.fts\\shellex" /f >/dev/null
"$run" reg delete "HKCR\\.fts\\shellex" /f >/dev/null
export_registry "$work/before2.reg"
run_setup
expect_value 'HKCR\.fit' "" "$other_type"
expect_value 'HKCR\.fts' "" Kelvra.FitsImage
expect_value 'HKCR\.fits' "" Kelvra.FitsImage
reg_get "$uninstall_key" Mapped.fit >/dev/null && fail "the installer claims the mapping of .fit"
expect_value "$uninstall_key" Mapped.fts value
expect_value "$uninstall_key" Mapped.fits key
expect_extension_registrations "$other_type"
expect_no_key 'HKCR\Kelvra.FitsImage\ShellEx'

step "uninstalling with /KEEPSETTINGS while the viewer shows a file"
run_logged cmd /c start /wait "" "$KELVRA_TEST_FILES\\crab.fits" || fail "opening crab.fits through cmd's start"
expect_no_key "$settings_key"
run_uninstall /KEEPSETTINGS
expect_uninstalled_files
run_logged "$tests" --gtest_filter='AfterUninstall.*' || fail "installed_kelvra_tests after the uninstallation"
# The viewer stored its placement when the uninstaller closed it.
for value in KLVTop KLVBottom KLVLeft KLVRight HeaderOn HeaderBelow HeaderHeight; do
  reg_get "$settings_key" "$value" >/dev/null || fail "$settings_key [$value] was not kept"
done
"$run" reg delete 'HKLM\Software\Corvane' /f >/dev/null 2>&1
export_registry "$work/after2.reg"
expect_same_registry "$work/before2.reg" "$work/after2.reg" "after the uninstallation (placement set aside)"

for key in 'HKCR\.fit' 'HKCR\.fts' "HKCR\\$other_type"; do
  "$run" reg delete "$key" /f >/dev/null 2>&1
done

[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "all checks passed"
