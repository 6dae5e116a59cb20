#!/usr/bin/env bash
# Shows that check-vba-functions.sh catches what it is for: each case breaks
# a copy of the module in one way and requires the check to fail with the
# expected complaint; the module as it is must pass.
#   windows/check-vba-functions-selftest.sh Lorvex.bas lorvex.h WORK_DIR
set -euo pipefail
bas=$1 header=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"
failures=0 passed=0

# name | sed script applied to the copy | a FAIL line the check must print
cases=(
  "arguments swapped|s/HW_TreeSwapOption(vValuation, vMaturity, vExpiry,/HW_TreeSwapOption(vValuation, vExpiry, vMaturity,/|LorvexTreeSwaption: argument 2 of HW_TreeSwapOption \(endYears\) is vExpiry"
  "argument dropped|s/vFace, vFrequency, vCurve, vResult)/vFace, vFrequency, vCurve)/|LorvexBondPrice: passes 6 arguments to HW_BondPrice"
  "local of the wrong type|s/Dim vFrequency As Long, vCurve() As Double, vResult As Double, status As Long/Dim vFrequency As Double, vCurve() As Double, vResult As Double, status As Long/|LorvexBondPrice: vFrequency is declared double, HW_BondPrice takes long"
  "read from the wrong argument|/^Public Function LorvexBarrier/,/^End Function/s/vBarrier = ArgNumber(barrier, \"barrier\")/vBarrier = ArgNumber(strike, \"strike\")/|LorvexBarrier: vBarrier must be read once from the argument barrier"
  "reader of the wrong type|/^Public Function LorvexTreeCap/,/^End Function/s/vStepParameter = ArgWhole(/vStepParameter = ArgNumber(/|LorvexTreeCap: vStepParameter \(long\) is read by argnumber, which returns double"
  "Declare short of an argument|/Public Declare Function HW_HullWhiteCap/s/, ByVal meanReversion As Double//|HW_HullWhiteCap \(classic\): declared as"
  "worksheet function missing|s/LorvexChooser/LorvexChoose/g|LorvexChooser: no such worksheet function"
  "worksheet arguments reordered|s/observedMax As Variant, observedMin As Variant/observedMin As Variant, observedMax As Variant/|LorvexLookback: takes \(spot rate dividendYield volatility expiry observedMin observedMax"
  "argument not a Variant|/^Public Function LorvexBondPrice/,/^End Function/s/^        face As Variant/        face As Double/|LorvexBondPrice: takes face as another type than Variant"
  "reserved word|/^Public Function LorvexBinary/,/^End Function/s/\bcash\b/put/g|LorvexBinary: the argument \"put\" is a word VBA reserves"
  "current folder changed|s/^    If mLibrary = 0 Then LoadDll/    ChDir ThisWorkbook.Path\r\n    If mLibrary = 0 Then LoadDll/|line [0-9]+ changes the current folder"
  "LF line endings|s/\r$//|[0-9]+ lines end without CR"
  "not ASCII|s/^' Lorvex pricing functions for Excel\./' Lorvex pricing functions for Excel\xe2\x80\x99s cells./|line 2 is not plain ASCII"
)

out=$("$here/check-vba-functions.sh" "$bas" "$header") && status=0 || status=$?
if (( status == 0 )); then passed=$((passed + 1)); else
  echo "FAIL the module as it is was refused:"; echo "$out"; failures=$((failures + 1)); fi

for c in "${cases[@]}"; do
  IFS='|' read -r name script expected <<<"$c"
  copy=$work/broken.bas
  sed "$script" "$bas" >"$copy"
  if cmp -s "$copy" "$bas"; then echo "FAIL $name: the edit changed nothing"; failures=$((failures + 1)); continue; fi
  out=$("$here/check-vba-functions.sh" "$copy" "$header") && status=0 || status=$?
  if (( status != 0 )) && grep -qE "^FAIL $expected" <<<"$out"; then
    passed=$((passed + 1)); echo "caught ($name): $(grep -m1 -E "^FAIL $expected" <<<"$out" | sed 's/^FAIL //')"
  else
    echo "FAIL $name was not caught as expected (/$expected/):"; echo "$out"; failures=$((failures + 1))
  fi
done
echo "$passed passed, $failures failed"
(( failures == 0 ))
