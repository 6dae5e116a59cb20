#!/usr/bin/env bash
# Checks the VBA module's worksheet functions against the C header, since no
# spreadsheet runs here. For each calculation the table below names its
# worksheet function's arguments, in order, and which of them feeds each
# argument of the export (C name:worksheet name; "=" marks a result). The
# check parses the module and the header and requires that
#   - each Declare of an export has the header's argument names and types;
#   - the worksheet function exists, takes exactly the table's arguments as
#     Variants, and calls only its export;
#   - the call passes, in the export's order, the local v<Argument> of each
#     argument, declared with the type the export takes (Long, Double, a
#     Double array), and each local is read from its own argument by a
#     reader whose return type is the local's type, the message naming that
#     argument;
#   - no argument or local is a word VBA reserves;
#   - nothing changes the current folder (ChDir, ChDrive);
#   - the file is plain ASCII with CRLF line endings (the VBA editor's), no
#     line longer than 1023 characters, at most 24 continuations a statement.
#   windows/check-vba-functions.sh Lorvex.bas lorvex.h
set -euo pipefail
bas=$1 header=$2

table='
bond_price HW_BondPrice | valuation maturity coupon face frequency curve |
  valuationSerial:valuation yearsToMaturity:maturity couponRate:coupon face:face couponsPerYear:frequency
  curve:curve cleanPrice:=result
black_bond_option HW_BlackBondOption |
  valuation maturity coupon face frequency expiry strike volatility optionType strikeQuote curve |
  valuationSerial:valuation bondYears:maturity couponRate:coupon face:face couponsPerYear:frequency
  optionYears:expiry strike:strike yieldVolatility:volatility callFlag:optionType
  cleanStrikeFlag:strikeQuote curve:curve optionValue:=result
black_swaption HW_BlackSwapOption |
  valuation expiry maturity fixedRate notional frequency volatility optionType curve |
  valuationSerial:valuation expiryYears:expiry swapEndYears:maturity fixedRate:fixedRate
  notional:notional paymentsPerYear:frequency volatility:volatility receiverFlag:optionType
  curve:curve optionValue:=result
black_cap HW_BlackCap | valuation start maturity capRate notional frequency volatility optionType curve |
  valuationSerial:valuation startYears:start endYears:maturity capRate:capRate notional:notional
  paymentsPerYear:frequency volatility:volatility capFlag:optionType curve:curve capValue:=result
hw_bond_option HW_HullWhiteBondOption |
  valuation maturity coupon face frequency expiry strike volatility meanReversion optionType
  strikeQuote curve |
  valuationSerial:valuation yearsToMaturity:maturity couponRate:coupon face:face
  couponsPerYear:frequency yearsToExpiry:expiry strike:strike sigma:volatility
  meanReversion:meanReversion callFlag:optionType cleanStrikeFlag:strikeQuote curve:curve value:=result
hw_swaption HW_HullWhiteSwapOption |
  valuation expiry maturity fixedRate notional frequency volatility meanReversion optionType curve |
  valuationSerial:valuation yearsToExpiry:expiry yearsToSwapEnd:maturity fixedRate:fixedRate
  notional:notional fixedPerYear:frequency sigma:volatility meanReversion:meanReversion
  receiverFlag:optionType curve:curve value:=result
hw_cap HW_HullWhiteCap |
  valuation start maturity capRate notional frequency volatility meanReversion optionType curve |
  valuationSerial:valuation yearsToStart:start yearsToEnd:maturity capRate:capRate notional:notional
  paymentsPerYear:frequency sigma:volatility meanReversion:meanReversion capFlag:optionType
  curve:curve value:=result
tree_bond_option HW_TreeBondOption |
  valuation maturity coupon face frequency expiry strike optionType exercise strikeQuote volatility
  meanReversion steps tree curve |
  valuationSerial:valuation yearsToMaturity:maturity couponRate:coupon face:face
  couponsPerYear:frequency expiryYears:expiry strike:strike callFlag:optionType americanFlag:exercise
  cleanStrikeFlag:strikeQuote curve:curve sigma:volatility meanReversion:meanReversion
  stepCount:steps kind:tree optionValue:=result
tree_swaption HW_TreeSwapOption |
  valuation expiry maturity fixedRate notional frequency optionType volatility meanReversion
  stepsPerYear tree curve |
  valuationSerial:valuation endYears:maturity startYears:expiry fixedRate:fixedRate notional:notional
  paymentsPerYear:frequency receiverFlag:optionType curve:curve sigma:volatility
  meanReversion:meanReversion stepCount:stepsPerYear kind:tree value:=result
tree_cap HW_TreeCap |
  valuation start maturity capRate notional frequency optionType volatility meanReversion
  stepParameter tree curve |
  valuationSerial:valuation endYears:maturity startYears:start capRate:capRate notional:notional
  paymentsPerYear:frequency capFlag:optionType curve:curve sigma:volatility
  meanReversion:meanReversion stepParameter:stepParameter kind:tree value:=result
bond_tree_rate_delta HW_BondTreeRateDelta |
  valuation maturity expiry volatility meanReversion steps tree curve |
  valuationSerial:valuation maturityYears:maturity expiryYears:expiry curve:curve sigma:volatility
  meanReversion:meanReversion stepCount:steps kind:tree rateDelta:=result
cap_tree_rate_delta HW_CapTreeRateDelta |
  valuation start maturity frequency volatility meanReversion stepParameter tree curve |
  valuationSerial:valuation startYears:start endYears:maturity paymentsPerYear:frequency curve:curve
  sigma:volatility meanReversion:meanReversion stepParameter:stepParameter kind:tree
  rateDelta:=result
tree_bond_display HW_TreeBondDisplay |
  valuation maturity coupon face frequency expiry strike optionType exercise strikeQuote volatility
  meanReversion steps tree curve |
  valuationSerial:valuation yearsToMaturity:maturity couponRate:coupon face:face
  couponsPerYear:frequency expiryYears:expiry strike:strike callFlag:optionType americanFlag:exercise
  cleanStrikeFlag:strikeQuote curve:curve sigma:volatility meanReversion:meanReversion
  stepCount:steps kind:tree nodeArray:=nodeArray levelArray:=levelArray
  probabilityArray:=probabilityArray
equity_option HW_TreeEquityOpt |
  spot strike rate expiry dividendYield volatility steps exercise optionType useDividends dividends |
  spot:spot strike:strike rate:rate expiry:expiry yield:dividendYield dividends:dividends
  volatility:volatility steps:steps exerciseStyle:exercise optionKind:optionType
  useDividends:useDividends price:=value delta:=delta gamma:=gamma theta:=theta
equity_tree_display HW_EquityTreeDisplay |
  spot strike rate expiry dividendYield volatility steps exercise optionType useDividends dividends |
  spot:spot strike:strike rate:rate expiry:expiry yield:dividendYield dividends:dividends
  volatility:volatility steps:steps exerciseStyle:exercise optionKind:optionType
  useDividends:useDividends nodeTable:=nodeTable levelTable:=levelTable parameters:=parameters
barrier HW_barrier_compute |
  spot strike rate expiry dividendYield barrier volatility barrierType optionType |
  spot:spot strike:strike rate:rate years:expiry dividendYield:dividendYield barrier:barrier
  sigma:volatility barrierType:barrierType optionKind:optionType value:=result
compound HW_compound_compute |
  spot strike underlyingStrike rate dividendYield volatility expiry underlyingExpiry underlying
  optionType |
  spot:spot compoundStrike:strike underlyingStrike:underlyingStrike rate:rate
  dividendYield:dividendYield sigma:volatility t1:expiry t2:underlyingExpiry
  underlyingKind:underlying compoundKind:optionType value:=result
lookback HW_lookback_compute |
  spot rate dividendYield volatility expiry observedMax observedMin optionType |
  spot:spot rate:rate dividendYield:dividendYield sigma:volatility years:expiry
  observedMax:observedMax observedMin:observedMin optionKind:optionType value:=result
asian HW_avgopt_compute |
  spot strike rate dividendYield volatility expiry observedAverage elapsed optionType |
  spot:spot strike:strike rate:rate dividendYield:dividendYield sigma:volatility
  remainingYears:expiry observedAverage:observedAverage elapsedYears:elapsed optionKind:optionType
  value:=result
chooser HW_chooser_compute | spot strike rate dividendYield volatility expiry chooseAt |
  spot:spot strike:strike rate:rate dividendYield:dividendYield sigma:volatility years:expiry
  chooseYears:chooseAt value:=result
binary HW_binary_compute |
  spot strike rate dividendYield volatility expiry cash payoff optionType |
  spot:spot strike:strike rate:rate dividendYield:dividendYield sigma:volatility years:expiry
  cashAmount:cash payoffType:payoff optionKind:optionType value:=result
'

# Words VBA reserves for itself,
# which no argument or variable may take.
reserved='Abs AddressOf And Any Array As Attribute Boolean ByRef Byte ByVal Call Case CBool CByte
  CCur CDate CDbl CDec CDecl CInt Circle CLng CLngLng CLngPtr Close Const CSng CStr Currency CVar
  CVErr Date Debug Decimal Declare DefBool DefByte DefCur DefDate DefDbl DefDec DefInt DefLng
  DefLngLng DefLngPtr DefObj DefSng DefStr DefVar Dim Do DoEvents Double Each Else ElseIf Empty
  End EndIf Enum Eqv Erase Event Exit False Fix For Friend Function Get Global GoSub GoTo If Imp
  Implements In Input InputB Int Integer Is LBound Len LenB Let Like LineInput Lock Long LongLong
  LongPtr Loop LSet Me Mod New Next Not Nothing Null Object On Open Option Optional Or ParamArray
  Preserve Print Private PSet Public Put RaiseEvent ReDim Rem Resume Return RSet Scale Seek Select
  Set Sgn Shared Single Spc Static Stop String Sub Tab Then To True Type TypeOf UBound Unlock Until
  Variant Wend While With WithEvents Write Xor'

failures=0
program=$(cat <<'AWK'
function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t]+$/, "", s); return s }
function lc(s) { return tolower(s) }
function fail(msg) { print "FAIL " msg; failures++ }
# The code of a VBA line without its comment (a quote outside a string).
function code(s,    i, c, inString) {
  inString = 0
  for (i = 1; i <= length(s); i++) {
    c = substr(s, i, 1)
    if (c == "\"") inString = !inString
    else if (c == "'" && !inString) return substr(s, 1, i - 1)
  }
  return s
}
function upfirst(s) { return toupper(substr(s, 1, 1)) substr(s, 2) }
function camel(s,    n, p, i, out) {
  n = split(s, p, "_"); out = ""
  for (i = 1; i <= n; i++) out = out upfirst(p[i])
  return out
}
# A Declare or C argument type as one word: long, double, array, result.
function vbatype(s) {
  if (s ~ /\(\) As Double/) return "array"
  if (s ~ /ByVal .* As Long/) return "long"
  if (s ~ /ByVal .* As Double/) return "double"
  if (s ~ /ByRef .* As Double/) return "result"
  return "unknown"
}
function vbaname(s) {
  s = trim(s); sub(/^(ByVal|ByRef) +/, "", s); sub(/[ (].*$/, "", s); return s
}
function ctype(s) {
  if (s ~ /SAFEARRAY *\*\*/) return "array"
  if (s ~ /double *\*/) return "result"
  if (s ~ /int32_t/) return "long"
  if (s ~ /double/) return "double"
  return "unknown"
}

# ---- lorvex.h: each export's arguments as "type:name ..." ----
FILENAME != basfile {
  headerText = headerText " " $0
  next
}

# ---- Lorvex.bas: physical lines, then statements ----
{
  line = $0
  physical++
  if (sub(/\r$/, "", line) == 0) lfOnly++
  if (length(line) > 1023) fail("line " physical " is longer than 1023 characters")
  if (line ~ /[^\t -~]/) fail("line " physical " is not plain ASCII")
  if (pending != "") { statement = statement " " trim(line); continuations++ }
  else { statement = line; continuations = 0; startLine = physical }
  if (line ~ / _$/) { sub(/ _$/, "", statement); pending = 1; next }
  pending = ""
  if (continuations > 24) fail("the statement at line " startLine " has more than 24 continuations")
  statements[++nStatements] = code(statement)
  if (statements[nStatements] ~ /(^|[^A-Za-z])(ChDir|ChDrive)([^A-Za-z]|$)/)
    fail("line " startLine " changes the current folder: the DLL is loaded by its full path, and ChDir fails on a network share")
  statementLine[nStatements] = startLine
}

END {
  if (lfOnly > 0) fail(lfOnly " lines end without CR: the VBA editor needs CRLF")

  # The header: drop comments, then read every HW_ prototype.
  text = headerText
  while ((i = index(text, "/*")) > 0) {
    rest = substr(text, i + 2); j = index(rest, "*/")
    text = substr(text, 1, i - 1) " " (j > 0 ? substr(rest, j + 2) : "")
  }
  while (match(text, /HW_[A-Za-z_]+ *\([^)]*\)/)) {
    proto = substr(text, RSTART, RLENGTH); text = substr(text, RSTART + RLENGTH)
    name = proto; sub(/ *\(.*/, "", name)
    args = proto; sub(/^[^(]*\(/, "", args); sub(/\)$/, "", args)
    n = split(args, a, ","); list = ""
    for (i = 1; i <= n; i++) {
      arg = trim(a[i]); argName = arg; sub(/.*[ *]/, "", argName)
      list = list " " ctype(arg) ":" argName
    }
    cArgs[name] = trim(list)
  }

  # The module: Declares per flavour, reader return types, worksheet functions.
  for (s = 1; s <= nStatements; s++) {
    st = statements[s]
    # Every procedure: its arguments and variables, for the reserved words.
    if (st ~ /^(Public |Private )?(Function|Sub) [A-Za-z]+\(/) {
      proc = st; sub(/^(Public |Private )?(Function|Sub) /, "", proc); sub(/\(.*/, "", proc)
      args = st; sub(/^[^(]*\(/, "", args); sub(/\)[^)]*$/, "", args)
      n = split(args, a, ",")
      for (i = 1; i <= n; i++) {
        arg = trim(a[i]); sub(/^Optional +/, "", arg); sub(/^(ByVal|ByRef) +/, "", arg); sub(/[ (].*/, "", arg)
        if (arg != "") names[proc, lc(arg)] = "argument"
      }
    }
    if (st ~ /^ *Dim / && proc != "") {
      decl = st; sub(/^ *Dim +/, "", decl); gsub(/\([^)]*\)/, "()", decl)
      n = split(decl, a, ",")
      for (i = 1; i <= n; i++) { local = trim(a[i]); sub(/[ (].*/, "", local); names[proc, lc(local)] = "variable" }
    }
    if (st ~ /^End (Function|Sub)/) proc = ""
    if (st ~ /Declare (PtrSafe )?Function HW_/) {
      flavour = (st ~ /Lorvex64\.dll/) ? "win64" : ((st ~ /PtrSafe/) ? "vba7" : "classic")
      match(st, /Function HW_[A-Za-z_]+/); name = substr(st, RSTART + 9, RLENGTH - 9)
      args = st; sub(/^[^(]*\(/, "", args); sub(/\) As Long *$/, "", args)
      n = split(args, a, ","); list = ""
      for (i = 1; i <= n; i++) list = list " " vbatype(a[i]) ":" vbaname(a[i])
      declared[flavour, name] = trim(list)
      continue
    }
    if (st ~ /^Private Function [A-Za-z]+\(.*\) As [A-Za-z]+(\(\))? *$/) {
      name = st; sub(/^Private Function /, "", name); sub(/\(.*/, "", name)
      type = st; sub(/.*\) As /, "", type); type = trim(type)
      returns[lc(name)] = lc(type)
      continue
    }
    if (st ~ /^Public Function Lorvex[A-Za-z]+\(/) {
      name = st; sub(/^Public Function /, "", name); sub(/\(.*/, "", name)
      current = lc(name); functionName[current] = name
      args = st; sub(/^[^(]*\(/, "", args); sub(/\) As [A-Za-z]+(\(\))? *$/, "", args)
      n = split(args, a, ","); list = ""
      for (i = 1; i <= n; i++) {
        arg = trim(a[i]); sub(/^Optional +/, "", arg); sub(/^(ByVal|ByRef) +/, "", arg)
        argName = arg; sub(/ .*/, "", argName)
        if (arg !~ /^[A-Za-z0-9]+( As Variant)?$/) notVariant[current] = notVariant[current] " " argName
        list = list " " argName
      }
      params[current] = trim(list)
      calls[current] = 0
      continue
    }
    if (current == "") continue
    if (st ~ /^End Function/) { current = ""; continue }
    if (st ~ /^ *Dim /) {
      decl = st; sub(/^ *Dim +/, "", decl)
      n = split(decl, a, ",")
      for (i = 1; i <= n; i++) {
        d = trim(a[i]); local = d; sub(/[ (].*/, "", local)
        type = d; if (type ~ / As /) sub(/.* As /, "", type); else type = "variant"
        if (d ~ /^[A-Za-z0-9]+\(\)/) type = type "()"
        localType[current, lc(local)] = lc(trim(type))
      }
    }
    # vName = Reader(name, "name"...): a local read from an argument.
    if (match(st, /^ *v[A-Za-z0-9]+ = [A-Za-z]+\([A-Za-z0-9]+, "[A-Za-z0-9]+"/)) {
      r = substr(st, RSTART, RLENGTH); gsub(/[(),="]/, " ", r); split(trim(r), w, / +/)
      readsFrom[current, lc(w[1])] = readsFrom[current, lc(w[1])] " " lc(w[3])
      readerOf[current, lc(w[1])] = lc(w[2])
      if (lc(w[3]) != lc(w[4])) fail(functionName[current] ": " w[1] " is read from " w[3] " but its message names " w[4])
    }
    while (match(st, /HW_[A-Za-z_]+\([^)]*\)/)) {
      c = substr(st, RSTART, RLENGTH); st = substr(st, RSTART + RLENGTH)
      calls[current]++
      callee[current] = c; sub(/\(.*/, "", callee[current])
      actuals = c; sub(/^[^(]*\(/, "", actuals); sub(/\)$/, "", actuals)
      callArgs[current] = actuals
    }
  }

  # Words VBA reserves.
  nr = split(reserved, rw, /[ \n]+/)
  for (i = 1; i <= nr; i++) if (rw[i] != "") isReserved[lc(rw[i])] = 1
  for (key in names) {
    split(key, k, SUBSEP)
    if (k[2] in isReserved) fail(k[1] ": the " names[key] " \"" k[2] "\" is a word VBA reserves")
  }

  # Each calculation of the table.
  gsub(/\n/, " ", table)
  nRows = 0; rest = table
  # Rows: "calc export | params | mapping" separated by the next "calc export |".
  nt = split(table, tok, / +/)
  for (i = 1; i <= nt; i++) {
    t = tok[i]; if (t == "") continue
    if (i + 2 <= nt && tok[i + 1] ~ /^HW_/ && tok[i + 2] == "|") {
      nRows++; calc[nRows] = t; export[nRows] = tok[i + 1]; part = 1; i += 2; continue
    }
    if (t == "|") { part = 2; continue }
    if (part == 1) wsParams[nRows] = wsParams[nRows] " " t
    else mapping[nRows] = mapping[nRows] " " t
  }
  checked = 0
  for (row = 1; row <= nRows; row++) {
    fn = "Lorvex" camel(calc[row]); f = lc(fn); ex = export[row]
    covered[f] = 1
    if (!(ex in cArgs)) { fail(ex ": not in the header"); continue }
    nc = split(cArgs[ex], ca, " ")
    nm = split(trim(mapping[row]), mp, " ")
    # The table itself against the header: one entry per C argument, in order.
    if (nm != nc) { fail(ex ": the table maps " nm " arguments, the header has " nc); continue }
    for (i = 1; i <= nm; i++) {
      split(mp[i], pair, ":"); split(ca[i], cpair, ":")
      if (pair[1] != cpair[2]) fail(ex ": table argument " i " is " pair[1] ", the header says " cpair[2])
    }
    # The Declares against the header.
    for (fl = 1; fl <= 3; fl++) {
      flavour = (fl == 1) ? "win64" : ((fl == 2) ? "vba7" : "classic")
      if (!((flavour, ex) in declared)) { fail(ex ": not declared for " flavour); continue }
      if (declared[flavour, ex] != cArgs[ex])
        fail(ex " (" flavour "): declared as (" declared[flavour, ex] "), the header has (" cArgs[ex] ")")
    }
    if (!(f in params)) { fail(fn ": no such worksheet function"); continue }
    if (lc(params[f]) != lc(trim(wsParams[row])))
      fail(fn ": takes (" params[f] "), expected (" trim(wsParams[row]) ")")
    if (notVariant[f] != "") fail(fn ": takes" notVariant[f] " as another type than Variant, so a range or an error cell cannot reach it")
    if (calls[f] != 1) { fail(fn ": makes " calls[f] " export calls, expected 1 (" ex ")"); continue }
    if (callee[f] != ex) { fail(fn ": calls " callee[f] ", expected " ex); continue }
    na = split(callArgs[f], act, ",")
    if (na != nc) { fail(fn ": passes " na " arguments to " ex ", which takes " nc); continue }
    bad = 0
    for (i = 1; i <= nm; i++) {
      split(mp[i], pair, ":"); split(ca[i], cpair, ":")
      source = pair[2]; isResult = sub(/^=/, "", source)
      want = "v" upfirst(source); got = trim(act[i])
      if (lc(got) != lc(want)) {
        fail(fn ": argument " i " of " ex " (" cpair[2] ") is " got ", expected " want); bad++; continue
      }
      wantType = (cpair[1] == "long") ? "long" : ((cpair[1] == "array") ? "double()" : "double")
      if (!((f, lc(got)) in localType)) { fail(fn ": " got " is not declared"); bad++; continue }
      if (localType[f, lc(got)] != wantType) {
        fail(fn ": " got " is declared " localType[f, lc(got)] ", " ex " takes " wantType " for " cpair[2]); bad++
      }
      if (isResult) continue
      if (readsFrom[f, lc(got)] != " " lc(source)) {
        fail(fn ": " got " must be read once from the argument " source ", is read from (" trim(readsFrom[f, lc(got)]) ")"); bad++; continue
      }
      reader = readerOf[f, lc(got)]
      if (!(reader in returns)) { fail(fn ": " got " is read by " reader ", not a reader of this module"); bad++ }
      else if (returns[reader] != wantType) {
        fail(fn ": " got " (" wantType ") is read by " reader ", which returns " returns[reader]); bad++
      }
    }
    if (bad == 0) checked++
  }
  for (f in params) if (!(f in covered) && calls[f] > 0) fail(functionName[f] ": calls an export but is not in the table")
  print checked " of " nRows " worksheet functions pass every check"
  exit failures > 0
}
AWK
)
report=$(awk -v table="$table" -v reserved="$reserved" -v basfile="$bas" "$program" "$header" "$bas") || failures=1
echo "$report"
(( failures == 0 ))
