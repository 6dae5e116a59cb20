Attribute VB_Name = "Lorvex"
' Lorvex pricing functions for Excel.
'
' Setting up: import this module into a macro-enabled workbook (VBA editor:
' File > Import File...) and put the DLL that matches your Office in the
' workbook's folder: Lorvex.dll for 32-bit Office, Lorvex64.dll for 64-bit
' Office (File > Account > About Excel tells which). The module loads the DLL
' from there by its full path the first time a function needs it, also when
' the workbook lies on a network share (\\server\share\...) or in a OneDrive
' folder; LorvexLoadFrom "D:\some\folder" names another folder.
'
' Worksheet functions: one per calculation, named Lorvex and the calculation,
' with the arguments of the Lorvex C++ API in its order and the curve last:
'   =LorvexBondPrice(valuation, maturity, coupon, face, frequency, curve)
'   =LorvexBlackCap(valuation, start, maturity, capRate, notional, frequency,
'                   volatility, optionType, curve)
' Numbers come as numbers or single cells; choices as words ("call", "put",
' "payer", "receiver", "cap", "floor", "european", "american", "clean",
' "dirty", "normal", "lognormal", "shape", "up-in", "up-out", "down-in",
' "down-out", "cash", "asset") or as the export's integer code; the zero curve
' as a two-column range of serial dates (date cells are serial dates) and zero
' rates. Blank rows and one header row are skipped; any other cell that is not
' a number is refused, so that a stray blank or text cell never becomes a
' point at date 0 with a zero rate.
' A function returns its value (LorvexEquityOption: value, delta, gamma, theta
' in a row; the display functions: a table), or #VALUE! when an input cannot
' be read and #NUM! when the calculation refuses it. Then =LorvexStatus(cell)
' gives the status code of the Lorvex formula in that cell, -9 for an input
' the module refused, =LorvexMessage(cell) says what went wrong, and
' =LorvexStatusText(code) gives the meaning of a code.
'
' Conventions: dates are serial dates, times are in years from the valuation
' date, rates are decimals, zero rates are continuously compounded on
' actual/365.
'
' For macros: the HW_ declarations below are the DLL's exports themselves.
' Their zero curve is a two-column Double array whose second dimension is
' declared 0 To 1 (LorvexCurveFromRange builds one from a range), and each
' returns a status. Call LorvexUseWorkbookFolder once before the first of
' them, so that the DLL is loaded from the workbook's folder.
Option Explicit

#If Win64 Then
' 64-bit Office
Public Declare PtrSafe Function HW_BondPrice Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal yearsToMaturity As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, curve() As Double, ByRef cleanPrice As Double) As Long
Public Declare PtrSafe Function HW_BlackBondOption Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal bondYears As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, ByVal optionYears As Double, ByVal strike As Double, ByVal yieldVolatility As Double, ByVal callFlag As Long, ByVal cleanStrikeFlag As Long, curve() As Double, ByRef optionValue As Double) As Long
Public Declare PtrSafe Function HW_BlackSwapOption Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal expiryYears As Double, ByVal swapEndYears As Double, ByVal fixedRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal volatility As Double, ByVal receiverFlag As Long, curve() As Double, ByRef optionValue As Double) As Long
Public Declare PtrSafe Function HW_BlackCap Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal startYears As Double, ByVal endYears As Double, ByVal capRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal volatility As Double, ByVal capFlag As Long, curve() As Double, ByRef capValue As Double) As Long
Public Declare PtrSafe Function HW_HullWhiteBondOption Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal yearsToMaturity As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, ByVal yearsToExpiry As Double, ByVal strike As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal callFlag As Long, ByVal cleanStrikeFlag As Long, curve() As Double, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_HullWhiteSwapOption Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal yearsToExpiry As Double, ByVal yearsToSwapEnd As Double, ByVal fixedRate As Double, ByVal notional As Double, ByVal fixedPerYear As Long, ByVal sigma As Double, ByVal meanReversion As Double, ByVal receiverFlag As Long, curve() As Double, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_HullWhiteCap Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal yearsToStart As Double, ByVal yearsToEnd As Double, ByVal capRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal sigma As Double, ByVal meanReversion As Double, ByVal capFlag As Long, curve() As Double, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_TreeBondOption Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal yearsToMaturity As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, ByVal expiryYears As Double, ByVal strike As Double, ByVal callFlag As Long, ByVal americanFlag As Long, ByVal cleanStrikeFlag As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepCount As Long, ByVal kind As Long, ByRef optionValue As Double) As Long
Public Declare PtrSafe Function HW_TreeBondDisplay Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal yearsToMaturity As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, ByVal expiryYears As Double, ByVal strike As Double, ByVal callFlag As Long, ByVal americanFlag As Long, ByVal cleanStrikeFlag As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepCount As Long, ByVal kind As Long, nodeArray() As Double, levelArray() As Double, probabilityArray() As Double) As Long
Public Declare PtrSafe Function HW_TreeSwapOption Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal endYears As Double, ByVal startYears As Double, ByVal fixedRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal receiverFlag As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepCount As Long, ByVal kind As Long, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_TreeCap Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal endYears As Double, ByVal startYears As Double, ByVal capRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal capFlag As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepParameter As Long, ByVal kind As Long, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_BondTreeRateDelta Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal maturityYears As Double, ByVal expiryYears As Double, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepCount As Long, ByVal kind As Long, ByRef rateDelta As Double) As Long
Public Declare PtrSafe Function HW_CapTreeRateDelta Lib "Lorvex64.dll" (ByVal valuationSerial As Long, ByVal startYears As Double, ByVal endYears As Double, ByVal paymentsPerYear As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepParameter As Long, ByVal kind As Long, ByRef rateDelta As Double) As Long
Public Declare PtrSafe Function HW_TreeEquityOpt Lib "Lorvex64.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal expiry As Double, ByVal yield As Double, dividends() As Double, ByVal volatility As Double, ByVal steps As Long, ByVal exerciseStyle As Long, ByVal optionKind As Long, ByVal useDividends As Long, ByRef price As Double, ByRef delta As Double, ByRef gamma As Double, ByRef theta As Double) As Long
Public Declare PtrSafe Function HW_EquityTreeDisplay Lib "Lorvex64.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal expiry As Double, ByVal yield As Double, dividends() As Double, ByVal volatility As Double, ByVal steps As Long, ByVal exerciseStyle As Long, ByVal optionKind As Long, ByVal useDividends As Long, nodeTable() As Double, levelTable() As Double, parameters() As Double) As Long
Public Declare PtrSafe Function HW_barrier_compute Lib "Lorvex64.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal years As Double, ByVal dividendYield As Double, ByVal barrier As Double, ByVal sigma As Double, ByVal barrierType As Long, ByVal optionKind As Long, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_compound_compute Lib "Lorvex64.dll" (ByVal spot As Double, ByVal compoundStrike As Double, ByVal underlyingStrike As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal t1 As Double, ByVal t2 As Double, ByVal underlyingKind As Long, ByVal compoundKind As Long, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_lookback_compute Lib "Lorvex64.dll" (ByVal spot As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal years As Double, ByVal observedMax As Double, ByVal observedMin As Double, ByVal optionKind As Long, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_avgopt_compute Lib "Lorvex64.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal remainingYears As Double, ByVal observedAverage As Double, ByVal elapsedYears As Double, ByVal optionKind As Long, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_chooser_compute Lib "Lorvex64.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal years As Double, ByVal chooseYears As Double, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_binary_compute Lib "Lorvex64.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal years As Double, ByVal cashAmount As Double, ByVal payoffType As Long, ByVal optionKind As Long, ByRef value As Double) As Long
#ElseIf VBA7 Then
' 32-bit Office 2010 and later
Public Declare PtrSafe Function HW_BondPrice Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal yearsToMaturity As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, curve() As Double, ByRef cleanPrice As Double) As Long
Public Declare PtrSafe Function HW_BlackBondOption Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal bondYears As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, ByVal optionYears As Double, ByVal strike As Double, ByVal yieldVolatility As Double, ByVal callFlag As Long, ByVal cleanStrikeFlag As Long, curve() As Double, ByRef optionValue As Double) As Long
Public Declare PtrSafe Function HW_BlackSwapOption Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal expiryYears As Double, ByVal swapEndYears As Double, ByVal fixedRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal volatility As Double, ByVal receiverFlag As Long, curve() As Double, ByRef optionValue As Double) As Long
Public Declare PtrSafe Function HW_BlackCap Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal startYears As Double, ByVal endYears As Double, ByVal capRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal volatility As Double, ByVal capFlag As Long, curve() As Double, ByRef capValue As Double) As Long
Public Declare PtrSafe Function HW_HullWhiteBondOption Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal yearsToMaturity As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, ByVal yearsToExpiry As Double, ByVal strike As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal callFlag As Long, ByVal cleanStrikeFlag As Long, curve() As Double, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_HullWhiteSwapOption Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal yearsToExpiry As Double, ByVal yearsToSwapEnd As Double, ByVal fixedRate As Double, ByVal notional As Double, ByVal fixedPerYear As Long, ByVal sigma As Double, ByVal meanReversion As Double, ByVal receiverFlag As Long, curve() As Double, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_HullWhiteCap Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal yearsToStart As Double, ByVal yearsToEnd As Double, ByVal capRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal sigma As Double, ByVal meanReversion As Double, ByVal capFlag As Long, curve() As Double, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_TreeBondOption Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal yearsToMaturity As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, ByVal expiryYears As Double, ByVal strike As Double, ByVal callFlag As Long, ByVal americanFlag As Long, ByVal cleanStrikeFlag As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepCount As Long, ByVal kind As Long, ByRef optionValue As Double) As Long
Public Declare PtrSafe Function HW_TreeBondDisplay Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal yearsToMaturity As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, ByVal expiryYears As Double, ByVal strike As Double, ByVal callFlag As Long, ByVal americanFlag As Long, ByVal cleanStrikeFlag As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepCount As Long, ByVal kind As Long, nodeArray() As Double, levelArray() As Double, probabilityArray() As Double) As Long
Public Declare PtrSafe Function HW_TreeSwapOption Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal endYears As Double, ByVal startYears As Double, ByVal fixedRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal receiverFlag As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepCount As Long, ByVal kind As Long, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_TreeCap Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal endYears As Double, ByVal startYears As Double, ByVal capRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal capFlag As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepParameter As Long, ByVal kind As Long, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_BondTreeRateDelta Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal maturityYears As Double, ByVal expiryYears As Double, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepCount As Long, ByVal kind As Long, ByRef rateDelta As Double) As Long
Public Declare PtrSafe Function HW_CapTreeRateDelta Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal startYears As Double, ByVal endYears As Double, ByVal paymentsPerYear As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepParameter As Long, ByVal kind As Long, ByRef rateDelta As Double) As Long
Public Declare PtrSafe Function HW_TreeEquityOpt Lib "Lorvex.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal expiry As Double, ByVal yield As Double, dividends() As Double, ByVal volatility As Double, ByVal steps As Long, ByVal exerciseStyle As Long, ByVal optionKind As Long, ByVal useDividends As Long, ByRef price As Double, ByRef delta As Double, ByRef gamma As Double, ByRef theta As Double) As Long
Public Declare PtrSafe Function HW_EquityTreeDisplay Lib "Lorvex.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal expiry As Double, ByVal yield As Double, dividends() As Double, ByVal volatility As Double, ByVal steps As Long, ByVal exerciseStyle As Long, ByVal optionKind As Long, ByVal useDividends As Long, nodeTable() As Double, levelTable() As Double, parameters() As Double) As Long
Public Declare PtrSafe Function HW_barrier_compute Lib "Lorvex.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal years As Double, ByVal dividendYield As Double, ByVal barrier As Double, ByVal sigma As Double, ByVal barrierType As Long, ByVal optionKind As Long, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_compound_compute Lib "Lorvex.dll" (ByVal spot As Double, ByVal compoundStrike As Double, ByVal underlyingStrike As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal t1 As Double, ByVal t2 As Double, ByVal underlyingKind As Long, ByVal compoundKind As Long, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_lookback_compute Lib "Lorvex.dll" (ByVal spot As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal years As Double, ByVal observedMax As Double, ByVal observedMin As Double, ByVal optionKind As Long, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_avgopt_compute Lib "Lorvex.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal remainingYears As Double, ByVal observedAverage As Double, ByVal elapsedYears As Double, ByVal optionKind As Long, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_chooser_compute Lib "Lorvex.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal years As Double, ByVal chooseYears As Double, ByRef value As Double) As Long
Public Declare PtrSafe Function HW_binary_compute Lib "Lorvex.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal years As Double, ByVal cashAmount As Double, ByVal payoffType As Long, ByVal optionKind As Long, ByRef value As Double) As Long
#Else
' Office 2007 and earlier
Public Declare Function HW_BondPrice Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal yearsToMaturity As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, curve() As Double, ByRef cleanPrice As Double) As Long
Public Declare Function HW_BlackBondOption Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal bondYears As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, ByVal optionYears As Double, ByVal strike As Double, ByVal yieldVolatility As Double, ByVal callFlag As Long, ByVal cleanStrikeFlag As Long, curve() As Double, ByRef optionValue As Double) As Long
Public Declare Function HW_BlackSwapOption Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal expiryYears As Double, ByVal swapEndYears As Double, ByVal fixedRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal volatility As Double, ByVal receiverFlag As Long, curve() As Double, ByRef optionValue As Double) As Long
Public Declare Function HW_BlackCap Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal startYears As Double, ByVal endYears As Double, ByVal capRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal volatility As Double, ByVal capFlag As Long, curve() As Double, ByRef capValue As Double) As Long
Public Declare Function HW_HullWhiteBondOption Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal yearsToMaturity As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, ByVal yearsToExpiry As Double, ByVal strike As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal callFlag As Long, ByVal cleanStrikeFlag As Long, curve() As Double, ByRef value As Double) As Long
Public Declare Function HW_HullWhiteSwapOption Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal yearsToExpiry As Double, ByVal yearsToSwapEnd As Double, ByVal fixedRate As Double, ByVal notional As Double, ByVal fixedPerYear As Long, ByVal sigma As Double, ByVal meanReversion As Double, ByVal receiverFlag As Long, curve() As Double, ByRef value As Double) As Long
Public Declare Function HW_HullWhiteCap Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal yearsToStart As Double, ByVal yearsToEnd As Double, ByVal capRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal sigma As Double, ByVal meanReversion As Double, ByVal capFlag As Long, curve() As Double, ByRef value As Double) As Long
Public Declare Function HW_TreeBondOption Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal yearsToMaturity As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, ByVal expiryYears As Double, ByVal strike As Double, ByVal callFlag As Long, ByVal americanFlag As Long, ByVal cleanStrikeFlag As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepCount As Long, ByVal kind As Long, ByRef optionValue As Double) As Long
Public Declare Function HW_TreeBondDisplay Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal yearsToMaturity As Double, ByVal couponRate As Double, ByVal face As Double, ByVal couponsPerYear As Long, ByVal expiryYears As Double, ByVal strike As Double, ByVal callFlag As Long, ByVal americanFlag As Long, ByVal cleanStrikeFlag As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepCount As Long, ByVal kind As Long, nodeArray() As Double, levelArray() As Double, probabilityArray() As Double) As Long
Public Declare Function HW_TreeSwapOption Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal endYears As Double, ByVal startYears As Double, ByVal fixedRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal receiverFlag As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepCount As Long, ByVal kind As Long, ByRef value As Double) As Long
Public Declare Function HW_TreeCap Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal endYears As Double, ByVal startYears As Double, ByVal capRate As Double, ByVal notional As Double, ByVal paymentsPerYear As Long, ByVal capFlag As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepParameter As Long, ByVal kind As Long, ByRef value As Double) As Long
Public Declare Function HW_BondTreeRateDelta Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal maturityYears As Double, ByVal expiryYears As Double, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepCount As Long, ByVal kind As Long, ByRef rateDelta As Double) As Long
Public Declare Function HW_CapTreeRateDelta Lib "Lorvex.dll" (ByVal valuationSerial As Long, ByVal startYears As Double, ByVal endYears As Double, ByVal paymentsPerYear As Long, curve() As Double, ByVal sigma As Double, ByVal meanReversion As Double, ByVal stepParameter As Long, ByVal kind As Long, ByRef rateDelta As Double) As Long
Public Declare Function HW_TreeEquityOpt Lib "Lorvex.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal expiry As Double, ByVal yield As Double, dividends() As Double, ByVal volatility As Double, ByVal steps As Long, ByVal exerciseStyle As Long, ByVal optionKind As Long, ByVal useDividends As Long, ByRef price As Double, ByRef delta As Double, ByRef gamma As Double, ByRef theta As Double) As Long
Public Declare Function HW_EquityTreeDisplay Lib "Lorvex.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal expiry As Double, ByVal yield As Double, dividends() As Double, ByVal volatility As Double, ByVal steps As Long, ByVal exerciseStyle As Long, ByVal optionKind As Long, ByVal useDividends As Long, nodeTable() As Double, levelTable() As Double, parameters() As Double) As Long
Public Declare Function HW_barrier_compute Lib "Lorvex.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal years As Double, ByVal dividendYield As Double, ByVal barrier As Double, ByVal sigma As Double, ByVal barrierType As Long, ByVal optionKind As Long, ByRef value As Double) As Long
Public Declare Function HW_compound_compute Lib "Lorvex.dll" (ByVal spot As Double, ByVal compoundStrike As Double, ByVal underlyingStrike As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal t1 As Double, ByVal t2 As Double, ByVal underlyingKind As Long, ByVal compoundKind As Long, ByRef value As Double) As Long
Public Declare Function HW_lookback_compute Lib "Lorvex.dll" (ByVal spot As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal years As Double, ByVal observedMax As Double, ByVal observedMin As Double, ByVal optionKind As Long, ByRef value As Double) As Long
Public Declare Function HW_avgopt_compute Lib "Lorvex.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal remainingYears As Double, ByVal observedAverage As Double, ByVal elapsedYears As Double, ByVal optionKind As Long, ByRef value As Double) As Long
Public Declare Function HW_chooser_compute Lib "Lorvex.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal years As Double, ByVal chooseYears As Double, ByRef value As Double) As Long
Public Declare Function HW_binary_compute Lib "Lorvex.dll" (ByVal spot As Double, ByVal strike As Double, ByVal rate As Double, ByVal dividendYield As Double, ByVal sigma As Double, ByVal years As Double, ByVal cashAmount As Double, ByVal payoffType As Long, ByVal optionKind As Long, ByRef value As Double) As Long
#End If

' LoadLibraryW loads the DLL by its full path; once it is loaded, the
' Declare statements above, which name it without a folder, find it in the
' process by that name.
#If VBA7 Then
Private Declare PtrSafe Function LorvexLoadLibrary Lib "kernel32" Alias "LoadLibraryW" (ByVal fileName As LongPtr) As LongPtr
Private mLibrary As LongPtr
#Else
Private Declare Function LorvexLoadLibrary Lib "kernel32" Alias "LoadLibraryW" (ByVal fileName As Long) As Long
Private mLibrary As Long
#End If
#If Win64 Then
Private Const kLibraryName As String = "Lorvex64.dll"
#Else
Private Const kLibraryName As String = "Lorvex.dll"
#End If

Private Const kBadArgument As Long = -9
Private Const kWorksheetRows As Double = 1048576#
Private Const kCallPut As String = "call=1 put=0"
Private Const kPayerReceiver As String = "payer=0 receiver=1"
Private Const kCapFloor As String = "cap=1 floor=0"
Private Const kStrikeQuote As String = "clean=1 dirty=0"
Private Const kExercise As String = "european=0 american=1"
Private Const kTree As String = "normal=0 lognormal=1 shape=2"

Private mFolder As String       ' the folder given to LorvexLoadFrom
Private mFault As String        ' the first input the current call refused
Private mFaultValue As Variant  ' the error value the call returns for it
Private mFaultStatus As Variant ' its status: -9, or #N/A when nothing ran
Private mLastStatus As Variant
Private mLastMessage As String
Private mByCell As Collection   ' cell -> Array(status, message) of its last call

' ---- Worksheet functions -----------------------------------------------------

' Clean price of a coupon bond on the zero curve, in the face's units.
Public Function LorvexBondPrice(valuation As Variant, maturity As Variant, coupon As Variant, _
        face As Variant, frequency As Variant, curve As Variant) As Variant
    Dim vValuation As Long, vMaturity As Double, vCoupon As Double, vFace As Double
    Dim vFrequency As Long, vCurve() As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vMaturity = ArgNumber(maturity, "maturity")
    vCoupon = ArgNumber(coupon, "coupon")
    vFace = ArgNumber(face, "face")
    vFrequency = ArgWhole(frequency, "frequency")
    vCurve = ArgCurve(curve, "curve")
    If ReadyToCall() Then status = HW_BondPrice(vValuation, vMaturity, vCoupon, vFace, vFrequency, vCurve, vResult)
    LorvexBondPrice = Finish(status, vResult)
    Exit Function
Failed:
    LorvexBondPrice = Unexpected()
End Function

' European call or put on a coupon bond under Black's model; volatility is
' the forward yield's, strikeQuote "clean" or "dirty".
Public Function LorvexBlackBondOption(valuation As Variant, maturity As Variant, coupon As Variant, _
        face As Variant, frequency As Variant, expiry As Variant, strike As Variant, _
        volatility As Variant, optionType As Variant, strikeQuote As Variant, curve As Variant) As Variant
    Dim vValuation As Long, vMaturity As Double, vCoupon As Double, vFace As Double
    Dim vFrequency As Long, vExpiry As Double, vStrike As Double, vVolatility As Double
    Dim vOptionType As Long, vStrikeQuote As Long, vCurve() As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vMaturity = ArgNumber(maturity, "maturity")
    vCoupon = ArgNumber(coupon, "coupon")
    vFace = ArgNumber(face, "face")
    vFrequency = ArgWhole(frequency, "frequency")
    vExpiry = ArgNumber(expiry, "expiry")
    vStrike = ArgNumber(strike, "strike")
    vVolatility = ArgNumber(volatility, "volatility")
    vOptionType = ArgChoice(optionType, "optionType", kCallPut)
    vStrikeQuote = ArgChoice(strikeQuote, "strikeQuote", kStrikeQuote)
    vCurve = ArgCurve(curve, "curve")
    If ReadyToCall() Then status = HW_BlackBondOption(vValuation, vMaturity, vCoupon, vFace, vFrequency, _
        vExpiry, vStrike, vVolatility, vOptionType, vStrikeQuote, vCurve, vResult)
    LorvexBlackBondOption = Finish(status, vResult)
    Exit Function
Failed:
    LorvexBlackBondOption = Unexpected()
End Function

' European payer or receiver swaption under Black's model, into a swap from
' expiry to maturity; in the notional's units.
Public Function LorvexBlackSwaption(valuation As Variant, expiry As Variant, maturity As Variant, _
        fixedRate As Variant, notional As Variant, frequency As Variant, volatility As Variant, _
        optionType As Variant, curve As Variant) As Variant
    Dim vValuation As Long, vExpiry As Double, vMaturity As Double, vFixedRate As Double
    Dim vNotional As Double, vFrequency As Long, vVolatility As Double, vOptionType As Long
    Dim vCurve() As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vExpiry = ArgNumber(expiry, "expiry")
    vMaturity = ArgNumber(maturity, "maturity")
    vFixedRate = ArgNumber(fixedRate, "fixedRate")
    vNotional = ArgNumber(notional, "notional")
    vFrequency = ArgWhole(frequency, "frequency")
    vVolatility = ArgNumber(volatility, "volatility")
    vOptionType = ArgChoice(optionType, "optionType", kPayerReceiver)
    vCurve = ArgCurve(curve, "curve")
    If ReadyToCall() Then status = HW_BlackSwapOption(vValuation, vExpiry, vMaturity, vFixedRate, vNotional, _
        vFrequency, vVolatility, vOptionType, vCurve, vResult)
    LorvexBlackSwaption = Finish(status, vResult)
    Exit Function
Failed:
    LorvexBlackSwaption = Unexpected()
End Function

' Cap or floor from start to maturity under Black's model; in the notional's
' units.
Public Function LorvexBlackCap(valuation As Variant, start As Variant, maturity As Variant, _
        capRate As Variant, notional As Variant, frequency As Variant, volatility As Variant, _
        optionType As Variant, curve As Variant) As Variant
    Dim vValuation As Long, vStart As Double, vMaturity As Double, vCapRate As Double
    Dim vNotional As Double, vFrequency As Long, vVolatility As Double, vOptionType As Long
    Dim vCurve() As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vStart = ArgNumber(start, "start")
    vMaturity = ArgNumber(maturity, "maturity")
    vCapRate = ArgNumber(capRate, "capRate")
    vNotional = ArgNumber(notional, "notional")
    vFrequency = ArgWhole(frequency, "frequency")
    vVolatility = ArgNumber(volatility, "volatility")
    vOptionType = ArgChoice(optionType, "optionType", kCapFloor)
    vCurve = ArgCurve(curve, "curve")
    If ReadyToCall() Then status = HW_BlackCap(vValuation, vStart, vMaturity, vCapRate, vNotional, _
        vFrequency, vVolatility, vOptionType, vCurve, vResult)
    LorvexBlackCap = Finish(status, vResult)
    Exit Function
Failed:
    LorvexBlackCap = Unexpected()
End Function

' European call or put on a coupon bond under Hull-White in closed form;
' volatility is the short rate's absolute volatility (0.01 = 100 bp).
Public Function LorvexHwBondOption(valuation As Variant, maturity As Variant, coupon As Variant, _
        face As Variant, frequency As Variant, expiry As Variant, strike As Variant, _
        volatility As Variant, meanReversion As Variant, optionType As Variant, _
        strikeQuote As Variant, curve As Variant) As Variant
    Dim vValuation As Long, vMaturity As Double, vCoupon As Double, vFace As Double
    Dim vFrequency As Long, vExpiry As Double, vStrike As Double, vVolatility As Double
    Dim vMeanReversion As Double, vOptionType As Long, vStrikeQuote As Long
    Dim vCurve() As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vMaturity = ArgNumber(maturity, "maturity")
    vCoupon = ArgNumber(coupon, "coupon")
    vFace = ArgNumber(face, "face")
    vFrequency = ArgWhole(frequency, "frequency")
    vExpiry = ArgNumber(expiry, "expiry")
    vStrike = ArgNumber(strike, "strike")
    vVolatility = ArgNumber(volatility, "volatility")
    vMeanReversion = ArgNumber(meanReversion, "meanReversion")
    vOptionType = ArgChoice(optionType, "optionType", kCallPut)
    vStrikeQuote = ArgChoice(strikeQuote, "strikeQuote", kStrikeQuote)
    vCurve = ArgCurve(curve, "curve")
    If ReadyToCall() Then status = HW_HullWhiteBondOption(vValuation, vMaturity, vCoupon, vFace, vFrequency, _
        vExpiry, vStrike, vVolatility, vMeanReversion, vOptionType, vStrikeQuote, vCurve, vResult)
    LorvexHwBondOption = Finish(status, vResult)
    Exit Function
Failed:
    LorvexHwBondOption = Unexpected()
End Function

' European payer or receiver swaption under Hull-White in closed form.
Public Function LorvexHwSwaption(valuation As Variant, expiry As Variant, maturity As Variant, _
        fixedRate As Variant, notional As Variant, frequency As Variant, volatility As Variant, _
        meanReversion As Variant, optionType As Variant, curve As Variant) As Variant
    Dim vValuation As Long, vExpiry As Double, vMaturity As Double, vFixedRate As Double
    Dim vNotional As Double, vFrequency As Long, vVolatility As Double, vMeanReversion As Double
    Dim vOptionType As Long, vCurve() As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vExpiry = ArgNumber(expiry, "expiry")
    vMaturity = ArgNumber(maturity, "maturity")
    vFixedRate = ArgNumber(fixedRate, "fixedRate")
    vNotional = ArgNumber(notional, "notional")
    vFrequency = ArgWhole(frequency, "frequency")
    vVolatility = ArgNumber(volatility, "volatility")
    vMeanReversion = ArgNumber(meanReversion, "meanReversion")
    vOptionType = ArgChoice(optionType, "optionType", kPayerReceiver)
    vCurve = ArgCurve(curve, "curve")
    If ReadyToCall() Then status = HW_HullWhiteSwapOption(vValuation, vExpiry, vMaturity, vFixedRate, _
        vNotional, vFrequency, vVolatility, vMeanReversion, vOptionType, vCurve, vResult)
    LorvexHwSwaption = Finish(status, vResult)
    Exit Function
Failed:
    LorvexHwSwaption = Unexpected()
End Function

' Cap or floor under Hull-White in closed form.
Public Function LorvexHwCap(valuation As Variant, start As Variant, maturity As Variant, _
        capRate As Variant, notional As Variant, frequency As Variant, volatility As Variant, _
        meanReversion As Variant, optionType As Variant, curve As Variant) As Variant
    Dim vValuation As Long, vStart As Double, vMaturity As Double, vCapRate As Double
    Dim vNotional As Double, vFrequency As Long, vVolatility As Double, vMeanReversion As Double
    Dim vOptionType As Long, vCurve() As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vStart = ArgNumber(start, "start")
    vMaturity = ArgNumber(maturity, "maturity")
    vCapRate = ArgNumber(capRate, "capRate")
    vNotional = ArgNumber(notional, "notional")
    vFrequency = ArgWhole(frequency, "frequency")
    vVolatility = ArgNumber(volatility, "volatility")
    vMeanReversion = ArgNumber(meanReversion, "meanReversion")
    vOptionType = ArgChoice(optionType, "optionType", kCapFloor)
    vCurve = ArgCurve(curve, "curve")
    If ReadyToCall() Then status = HW_HullWhiteCap(vValuation, vStart, vMaturity, vCapRate, vNotional, _
        vFrequency, vVolatility, vMeanReversion, vOptionType, vCurve, vResult)
    LorvexHwCap = Finish(status, vResult)
    Exit Function
Failed:
    LorvexHwCap = Unexpected()
End Function

' European or American bond option on the Hull-White trinomial tree: steps
' equal steps to the expiry, tree "normal", "lognormal" or "shape".
Public Function LorvexTreeBondOption(valuation As Variant, maturity As Variant, coupon As Variant, _
        face As Variant, frequency As Variant, expiry As Variant, strike As Variant, _
        optionType As Variant, exercise As Variant, strikeQuote As Variant, volatility As Variant, _
        meanReversion As Variant, steps As Variant, tree As Variant, curve As Variant) As Variant
    Dim vValuation As Long, vMaturity As Double, vCoupon As Double, vFace As Double
    Dim vFrequency As Long, vExpiry As Double, vStrike As Double, vOptionType As Long
    Dim vExercise As Long, vStrikeQuote As Long, vVolatility As Double, vMeanReversion As Double
    Dim vSteps As Long, vTree As Long, vCurve() As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vMaturity = ArgNumber(maturity, "maturity")
    vCoupon = ArgNumber(coupon, "coupon")
    vFace = ArgNumber(face, "face")
    vFrequency = ArgWhole(frequency, "frequency")
    vExpiry = ArgNumber(expiry, "expiry")
    vStrike = ArgNumber(strike, "strike")
    vOptionType = ArgChoice(optionType, "optionType", kCallPut)
    vExercise = ArgChoice(exercise, "exercise", kExercise)
    vStrikeQuote = ArgChoice(strikeQuote, "strikeQuote", kStrikeQuote)
    vVolatility = ArgNumber(volatility, "volatility")
    vMeanReversion = ArgNumber(meanReversion, "meanReversion")
    vSteps = ArgWhole(steps, "steps")
    vTree = ArgChoice(tree, "tree", kTree)
    vCurve = ArgCurve(curve, "curve")
    If ReadyToCall() Then status = HW_TreeBondOption(vValuation, vMaturity, vCoupon, vFace, vFrequency, _
        vExpiry, vStrike, vOptionType, vExercise, vStrikeQuote, vCurve, vVolatility, vMeanReversion, _
        vSteps, vTree, vResult)
    LorvexTreeBondOption = Finish(status, vResult)
    Exit Function
Failed:
    LorvexTreeBondOption = Unexpected()
End Function

' European swaption on the Hull-White tree: the right, at expiry, to enter a
' swap running to maturity; stepsPerYear steps a year up to the expiry.
Public Function LorvexTreeSwaption(valuation As Variant, expiry As Variant, maturity As Variant, _
        fixedRate As Variant, notional As Variant, frequency As Variant, optionType As Variant, _
        volatility As Variant, meanReversion As Variant, stepsPerYear As Variant, tree As Variant, _
        curve As Variant) As Variant
    Dim vValuation As Long, vExpiry As Double, vMaturity As Double, vFixedRate As Double
    Dim vNotional As Double, vFrequency As Long, vOptionType As Long, vVolatility As Double
    Dim vMeanReversion As Double, vStepsPerYear As Long, vTree As Long
    Dim vCurve() As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vExpiry = ArgNumber(expiry, "expiry")
    vMaturity = ArgNumber(maturity, "maturity")
    vFixedRate = ArgNumber(fixedRate, "fixedRate")
    vNotional = ArgNumber(notional, "notional")
    vFrequency = ArgWhole(frequency, "frequency")
    vOptionType = ArgChoice(optionType, "optionType", kPayerReceiver)
    vVolatility = ArgNumber(volatility, "volatility")
    vMeanReversion = ArgNumber(meanReversion, "meanReversion")
    vStepsPerYear = ArgWhole(stepsPerYear, "stepsPerYear")
    vTree = ArgChoice(tree, "tree", kTree)
    vCurve = ArgCurve(curve, "curve")
    ' The export takes the swap's end before its start.
    If ReadyToCall() Then status = HW_TreeSwapOption(vValuation, vMaturity, vExpiry, vFixedRate, vNotional, _
        vFrequency, vOptionType, vCurve, vVolatility, vMeanReversion, vStepsPerYear, vTree, vResult)
    LorvexTreeSwaption = Finish(status, vResult)
    Exit Function
Failed:
    LorvexTreeSwaption = Unexpected()
End Function

' Cap or floor on the Hull-White tree, a caplet resetting today included;
' the tree takes stepParameter / start steps a year, rounded, within 1 to 20.
Public Function LorvexTreeCap(valuation As Variant, start As Variant, maturity As Variant, _
        capRate As Variant, notional As Variant, frequency As Variant, optionType As Variant, _
        volatility As Variant, meanReversion As Variant, stepParameter As Variant, tree As Variant, _
        curve As Variant) As Variant
    Dim vValuation As Long, vStart As Double, vMaturity As Double, vCapRate As Double
    Dim vNotional As Double, vFrequency As Long, vOptionType As Long, vVolatility As Double
    Dim vMeanReversion As Double, vStepParameter As Long, vTree As Long
    Dim vCurve() As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vStart = ArgNumber(start, "start")
    vMaturity = ArgNumber(maturity, "maturity")
    vCapRate = ArgNumber(capRate, "capRate")
    vNotional = ArgNumber(notional, "notional")
    vFrequency = ArgWhole(frequency, "frequency")
    vOptionType = ArgChoice(optionType, "optionType", kCapFloor)
    vVolatility = ArgNumber(volatility, "volatility")
    vMeanReversion = ArgNumber(meanReversion, "meanReversion")
    vStepParameter = ArgWhole(stepParameter, "stepParameter")
    vTree = ArgChoice(tree, "tree", kTree)
    vCurve = ArgCurve(curve, "curve")
    ' The export takes the cap's end before its start; its floor is 0, as
    ' the words give it.
    If ReadyToCall() Then status = HW_TreeCap(vValuation, vMaturity, vStart, vCapRate, vNotional, _
        vFrequency, vOptionType, vCurve, vVolatility, vMeanReversion, vStepParameter, vTree, vResult)
    LorvexTreeCap = Finish(status, vResult)
    Exit Function
Failed:
    LorvexTreeCap = Unexpected()
End Function

' Short-rate spacing, one step after the valuation date, of the tree
' LorvexTreeBondOption builds.
Public Function LorvexBondTreeRateDelta(valuation As Variant, maturity As Variant, expiry As Variant, _
        volatility As Variant, meanReversion As Variant, steps As Variant, tree As Variant, _
        curve As Variant) As Variant
    Dim vValuation As Long, vMaturity As Double, vExpiry As Double, vVolatility As Double
    Dim vMeanReversion As Double, vSteps As Long, vTree As Long
    Dim vCurve() As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vMaturity = ArgNumber(maturity, "maturity")
    vExpiry = ArgNumber(expiry, "expiry")
    vVolatility = ArgNumber(volatility, "volatility")
    vMeanReversion = ArgNumber(meanReversion, "meanReversion")
    vSteps = ArgWhole(steps, "steps")
    vTree = ArgChoice(tree, "tree", kTree)
    vCurve = ArgCurve(curve, "curve")
    If ReadyToCall() Then status = HW_BondTreeRateDelta(vValuation, vMaturity, vExpiry, vCurve, _
        vVolatility, vMeanReversion, vSteps, vTree, vResult)
    LorvexBondTreeRateDelta = Finish(status, vResult)
    Exit Function
Failed:
    LorvexBondTreeRateDelta = Unexpected()
End Function

' The same spacing on the tree of a cap from start to maturity; here the
' steps a year are stepParameter / maturity, rounded, within 1 to 20.
Public Function LorvexCapTreeRateDelta(valuation As Variant, start As Variant, maturity As Variant, _
        frequency As Variant, volatility As Variant, meanReversion As Variant, _
        stepParameter As Variant, tree As Variant, curve As Variant) As Variant
    Dim vValuation As Long, vStart As Double, vMaturity As Double, vFrequency As Long
    Dim vVolatility As Double, vMeanReversion As Double, vStepParameter As Long, vTree As Long
    Dim vCurve() As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vStart = ArgNumber(start, "start")
    vMaturity = ArgNumber(maturity, "maturity")
    vFrequency = ArgWhole(frequency, "frequency")
    vVolatility = ArgNumber(volatility, "volatility")
    vMeanReversion = ArgNumber(meanReversion, "meanReversion")
    vStepParameter = ArgWhole(stepParameter, "stepParameter")
    vTree = ArgChoice(tree, "tree", kTree)
    vCurve = ArgCurve(curve, "curve")
    If ReadyToCall() Then status = HW_CapTreeRateDelta(vValuation, vStart, vMaturity, vFrequency, vCurve, _
        vVolatility, vMeanReversion, vStepParameter, vTree, vResult)
    LorvexCapTreeRateDelta = Finish(status, vResult)
    Exit Function
Failed:
    LorvexCapTreeRateDelta = Unexpected()
End Function

' The tree of LorvexTreeBondOption on at most 10 steps (more are lowered to
' 10) as a table of up to 121 rows, one per node, level by level from the
' valuation date to the expiry, lowest rate first. Columns: level, node,
' time in years, option value, the bond's dirty price off the node's curve,
' exercised (1) or held (-1), one-step short rate. Enter it over 7 columns
' (a newer Excel spills it by itself).
Public Function LorvexTreeBondDisplay(valuation As Variant, maturity As Variant, coupon As Variant, _
        face As Variant, frequency As Variant, expiry As Variant, strike As Variant, _
        optionType As Variant, exercise As Variant, strikeQuote As Variant, volatility As Variant, _
        meanReversion As Variant, steps As Variant, tree As Variant, curve As Variant) As Variant
    Dim vValuation As Long, vMaturity As Double, vCoupon As Double, vFace As Double
    Dim vFrequency As Long, vExpiry As Double, vStrike As Double, vOptionType As Long
    Dim vExercise As Long, vStrikeQuote As Long, vVolatility As Double, vMeanReversion As Double
    Dim vSteps As Long, vTree As Long, vCurve() As Double, status As Long, table As Variant
    Dim vNodeArray() As Double, vLevelArray() As Double, vProbabilityArray() As Double
    On Error GoTo Failed
    StartCall
    vValuation = ArgSerial(valuation, "valuation")
    vMaturity = ArgNumber(maturity, "maturity")
    vCoupon = ArgNumber(coupon, "coupon")
    vFace = ArgNumber(face, "face")
    vFrequency = ArgWhole(frequency, "frequency")
    vExpiry = ArgNumber(expiry, "expiry")
    vStrike = ArgNumber(strike, "strike")
    vOptionType = ArgChoice(optionType, "optionType", kCallPut)
    vExercise = ArgChoice(exercise, "exercise", kExercise)
    vStrikeQuote = ArgChoice(strikeQuote, "strikeQuote", kStrikeQuote)
    vVolatility = ArgNumber(volatility, "volatility")
    vMeanReversion = ArgNumber(meanReversion, "meanReversion")
    vSteps = ArgWhole(steps, "steps")
    vTree = ArgChoice(tree, "tree", kTree)
    vCurve = ArgCurve(curve, "curve")
    ' The export's minimum sizes: 121 nodes of 4 values, 11 levels of 3, the
    ' 21 nodes before the expiry with 3 probabilities each.
    ReDim vNodeArray(0 To 120, 0 To 3)
    ReDim vLevelArray(0 To 10, 0 To 2)
    ReDim vProbabilityArray(0 To 20, 0 To 2)
    If ReadyToCall() Then status = HW_TreeBondDisplay(vValuation, vMaturity, vCoupon, vFace, vFrequency, _
        vExpiry, vStrike, vOptionType, vExercise, vStrikeQuote, vCurve, vVolatility, vMeanReversion, _
        vSteps, vTree, vNodeArray, vLevelArray, vProbabilityArray)
    If status = 0 And Len(mFault) = 0 Then table = BondTreeTable(vNodeArray, vLevelArray)
    LorvexTreeBondDisplay = Finish(status, table)
    Exit Function
Failed:
    LorvexTreeBondDisplay = Unexpected()
End Function

' European or American call or put on a stock on a binomial tree of steps
' steps (2 to 100,000), as a row: value, delta, gamma, theta per calendar
' day. Dividends, optional: a two-column range of times in years from today
' and cash amounts; useDividends FALSE leaves them out.
Public Function LorvexEquityOption(spot As Variant, strike As Variant, rate As Variant, _
        expiry As Variant, dividendYield As Variant, volatility As Variant, steps As Variant, _
        exercise As Variant, optionType As Variant, Optional useDividends As Variant, _
        Optional dividends As Variant) As Variant
    Dim vSpot As Double, vStrike As Double, vRate As Double, vExpiry As Double
    Dim vDividendYield As Double, vVolatility As Double, vSteps As Long, vExercise As Long
    Dim vOptionType As Long, vUseDividends As Long, vDividends() As Double, status As Long
    Dim vValue As Double, vDelta As Double, vGamma As Double, vTheta As Double
    On Error GoTo Failed
    StartCall
    vSpot = ArgNumber(spot, "spot")
    vStrike = ArgNumber(strike, "strike")
    vRate = ArgNumber(rate, "rate")
    vExpiry = ArgNumber(expiry, "expiry")
    vDividendYield = ArgNumber(dividendYield, "dividendYield")
    vVolatility = ArgNumber(volatility, "volatility")
    vSteps = ArgWhole(steps, "steps")
    vExercise = ArgChoice(exercise, "exercise", kExercise)
    vOptionType = ArgChoice(optionType, "optionType", kCallPut)
    If IsMissing(useDividends) Then useDividends = True
    If IsMissing(dividends) Then dividends = Empty
    vUseDividends = ArgChoice(useDividends, "useDividends", "true=1 false=0")
    vDividends = ArgDividends(dividends, "dividends")
    If ReadyToCall() Then status = HW_TreeEquityOpt(vSpot, vStrike, vRate, vExpiry, vDividendYield, _
        vDividends, vVolatility, vSteps, vExercise, vOptionType, vUseDividends, vValue, vDelta, _
        vGamma, vTheta)
    LorvexEquityOption = Finish(status, Array(vValue, vDelta, vGamma, vTheta))
    Exit Function
Failed:
    LorvexEquityOption = Unexpected()
End Function

' The stock tree of LorvexEquityOption as a table, one row per node, level by
' level, lowest price first: level, node, time in years, option value, stock
' price (dividends included), exercised (1) or not (0). A tree of n steps
' has (n + 1)(n + 2)/2 rows; one that would not fit on a worksheet (above
' 1,446 steps) is refused.
Public Function LorvexEquityTreeDisplay(spot As Variant, strike As Variant, rate As Variant, _
        expiry As Variant, dividendYield As Variant, volatility As Variant, steps As Variant, _
        exercise As Variant, optionType As Variant, Optional useDividends As Variant, _
        Optional dividends As Variant) As Variant
    Dim vSpot As Double, vStrike As Double, vRate As Double, vExpiry As Double
    Dim vDividendYield As Double, vVolatility As Double, vSteps As Long, vExercise As Long
    Dim vOptionType As Long, vUseDividends As Long, vDividends() As Double, status As Long
    Dim vNodeTable() As Double, vLevelTable() As Double, vParameters() As Double, table As Variant
    Dim nodeRows As Long, levelRows As Long
    On Error GoTo Failed
    StartCall
    vSpot = ArgNumber(spot, "spot")
    vStrike = ArgNumber(strike, "strike")
    vRate = ArgNumber(rate, "rate")
    vExpiry = ArgNumber(expiry, "expiry")
    vDividendYield = ArgNumber(dividendYield, "dividendYield")
    vVolatility = ArgNumber(volatility, "volatility")
    vSteps = ArgWhole(steps, "steps")
    vExercise = ArgChoice(exercise, "exercise", kExercise)
    vOptionType = ArgChoice(optionType, "optionType", kCallPut)
    If IsMissing(useDividends) Then useDividends = True
    If IsMissing(dividends) Then dividends = Empty
    vUseDividends = ArgChoice(useDividends, "useDividends", "true=1 false=0")
    vDividends = ArgDividends(dividends, "dividends")
    ' The export needs at least 169 node rows and 13 level rows, and
    ' (n + 1)(n + 2)/2 and n + 3 rows for a larger tree; the steps themselves
    ' (2 to 100,000) are the export's to check.
    nodeRows = 169
    levelRows = 13
    If vSteps > 0 Then
        If (CDbl(vSteps) + 1) * (CDbl(vSteps) + 2) / 2 > kWorksheetRows Then
            Refuse "steps: a tree of " & vSteps & " steps has " & _
                Format$((CDbl(vSteps) + 1) * (CDbl(vSteps) + 2) / 2, "0") & _
                " nodes, more than the 1048576 rows of a worksheet", CVErr(xlErrNum)
        Else
            If (CDbl(vSteps) + 1) * (CDbl(vSteps) + 2) / 2 > nodeRows Then nodeRows = (vSteps + 1) * (vSteps + 2) / 2
            If vSteps + 3 > levelRows Then levelRows = vSteps + 3
        End If
    End If
    ReDim vNodeTable(0 To nodeRows - 1, 0 To 2)
    ReDim vLevelTable(0 To levelRows - 1, 0 To 0)
    ReDim vParameters(0 To 6)
    If ReadyToCall() Then status = HW_EquityTreeDisplay(vSpot, vStrike, vRate, vExpiry, vDividendYield, _
        vDividends, vVolatility, vSteps, vExercise, vOptionType, vUseDividends, vNodeTable, vLevelTable, _
        vParameters)
    If status = 0 And Len(mFault) = 0 Then table = EquityTreeTable(vNodeTable, vLevelTable, vSteps)
    LorvexEquityTreeDisplay = Finish(status, table)
    Exit Function
Failed:
    LorvexEquityTreeDisplay = Unexpected()
End Function

' European barrier option, barrier watched continuously, no rebate;
' barrierType "up-in", "up-out", "down-in" or "down-out".
Public Function LorvexBarrier(spot As Variant, strike As Variant, rate As Variant, expiry As Variant, _
        dividendYield As Variant, barrier As Variant, volatility As Variant, barrierType As Variant, _
        optionType As Variant) As Variant
    Dim vSpot As Double, vStrike As Double, vRate As Double, vExpiry As Double
    Dim vDividendYield As Double, vBarrier As Double, vVolatility As Double, vBarrierType As Long
    Dim vOptionType As Long, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vSpot = ArgNumber(spot, "spot")
    vStrike = ArgNumber(strike, "strike")
    vRate = ArgNumber(rate, "rate")
    vExpiry = ArgNumber(expiry, "expiry")
    vDividendYield = ArgNumber(dividendYield, "dividendYield")
    vBarrier = ArgNumber(barrier, "barrier")
    vVolatility = ArgNumber(volatility, "volatility")
    vBarrierType = ArgChoice(barrierType, "barrierType", "up-in=5 up-out=6 down-in=7 down-out=8")
    vOptionType = ArgChoice(optionType, "optionType", kCallPut)
    If ReadyToCall() Then status = HW_barrier_compute(vSpot, vStrike, vRate, vExpiry, vDividendYield, _
        vBarrier, vVolatility, vBarrierType, vOptionType, vResult)
    LorvexBarrier = Finish(status, vResult)
    Exit Function
Failed:
    LorvexBarrier = Unexpected()
End Function

' Option on an option: at expiry, buy (optionType "call") or sell ("put")
' for strike the underlying call or put struck at underlyingStrike, expiring
' at underlyingExpiry.
Public Function LorvexCompound(spot As Variant, strike As Variant, underlyingStrike As Variant, _
        rate As Variant, dividendYield As Variant, volatility As Variant, expiry As Variant, _
        underlyingExpiry As Variant, underlying As Variant, optionType As Variant) As Variant
    Dim vSpot As Double, vStrike As Double, vUnderlyingStrike As Double, vRate As Double
    Dim vDividendYield As Double, vVolatility As Double, vExpiry As Double, vUnderlyingExpiry As Double
    Dim vUnderlying As Long, vOptionType As Long, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vSpot = ArgNumber(spot, "spot")
    vStrike = ArgNumber(strike, "strike")
    vUnderlyingStrike = ArgNumber(underlyingStrike, "underlyingStrike")
    vRate = ArgNumber(rate, "rate")
    vDividendYield = ArgNumber(dividendYield, "dividendYield")
    vVolatility = ArgNumber(volatility, "volatility")
    vExpiry = ArgNumber(expiry, "expiry")
    vUnderlyingExpiry = ArgNumber(underlyingExpiry, "underlyingExpiry")
    vUnderlying = ArgChoice(underlying, "underlying", "call=12 put=13")
    vOptionType = ArgChoice(optionType, "optionType", kCallPut)
    If ReadyToCall() Then status = HW_compound_compute(vSpot, vStrike, vUnderlyingStrike, vRate, _
        vDividendYield, vVolatility, vExpiry, vUnderlyingExpiry, vUnderlying, vOptionType, vResult)
    LorvexCompound = Finish(status, vResult)
    Exit Function
Failed:
    LorvexCompound = Unexpected()
End Function

' Floating-strike lookback: the call pays the price at expiry less the lowest
' price (observedMin so far), the put the highest (observedMax so far) less
' the price at expiry.
Public Function LorvexLookback(spot As Variant, rate As Variant, dividendYield As Variant, _
        volatility As Variant, expiry As Variant, observedMax As Variant, observedMin As Variant, _
        optionType As Variant) As Variant
    Dim vSpot As Double, vRate As Double, vDividendYield As Double, vVolatility As Double
    Dim vExpiry As Double, vObservedMax As Double, vObservedMin As Double, vOptionType As Long
    Dim vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vSpot = ArgNumber(spot, "spot")
    vRate = ArgNumber(rate, "rate")
    vDividendYield = ArgNumber(dividendYield, "dividendYield")
    vVolatility = ArgNumber(volatility, "volatility")
    vExpiry = ArgNumber(expiry, "expiry")
    vObservedMax = ArgNumber(observedMax, "observedMax")
    vObservedMin = ArgNumber(observedMin, "observedMin")
    vOptionType = ArgChoice(optionType, "optionType", kCallPut)
    If ReadyToCall() Then status = HW_lookback_compute(vSpot, vRate, vDividendYield, vVolatility, vExpiry, _
        vObservedMax, vObservedMin, vOptionType, vResult)
    LorvexLookback = Finish(status, vResult)
    Exit Function
Failed:
    LorvexLookback = Unexpected()
End Function

' Arithmetic average-price option: elapsed years already averaged at
' observedAverage, expiry years still to run.
Public Function LorvexAsian(spot As Variant, strike As Variant, rate As Variant, _
        dividendYield As Variant, volatility As Variant, expiry As Variant, _
        observedAverage As Variant, elapsed As Variant, optionType As Variant) As Variant
    Dim vSpot As Double, vStrike As Double, vRate As Double, vDividendYield As Double
    Dim vVolatility As Double, vExpiry As Double, vObservedAverage As Double, vElapsed As Double
    Dim vOptionType As Long, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vSpot = ArgNumber(spot, "spot")
    vStrike = ArgNumber(strike, "strike")
    vRate = ArgNumber(rate, "rate")
    vDividendYield = ArgNumber(dividendYield, "dividendYield")
    vVolatility = ArgNumber(volatility, "volatility")
    vExpiry = ArgNumber(expiry, "expiry")
    vObservedAverage = ArgNumber(observedAverage, "observedAverage")
    vElapsed = ArgNumber(elapsed, "elapsed")
    vOptionType = ArgChoice(optionType, "optionType", kCallPut)
    If ReadyToCall() Then status = HW_avgopt_compute(vSpot, vStrike, vRate, vDividendYield, vVolatility, _
        vExpiry, vObservedAverage, vElapsed, vOptionType, vResult)
    LorvexAsian = Finish(status, vResult)
    Exit Function
Failed:
    LorvexAsian = Unexpected()
End Function

' Simple chooser: at chooseAt years the holder picks the call or the put,
' both struck at strike and expiring at expiry.
Public Function LorvexChooser(spot As Variant, strike As Variant, rate As Variant, _
        dividendYield As Variant, volatility As Variant, expiry As Variant, chooseAt As Variant) As Variant
    Dim vSpot As Double, vStrike As Double, vRate As Double, vDividendYield As Double
    Dim vVolatility As Double, vExpiry As Double, vChooseAt As Double, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vSpot = ArgNumber(spot, "spot")
    vStrike = ArgNumber(strike, "strike")
    vRate = ArgNumber(rate, "rate")
    vDividendYield = ArgNumber(dividendYield, "dividendYield")
    vVolatility = ArgNumber(volatility, "volatility")
    vExpiry = ArgNumber(expiry, "expiry")
    vChooseAt = ArgNumber(chooseAt, "chooseAt")
    If ReadyToCall() Then status = HW_chooser_compute(vSpot, vStrike, vRate, vDividendYield, vVolatility, _
        vExpiry, vChooseAt, vResult)
    LorvexChooser = Finish(status, vResult)
    Exit Function
Failed:
    LorvexChooser = Unexpected()
End Function

' Digital option: payoff "cash" pays cash, "asset" the stock, when it ends in
' the money.
Public Function LorvexBinary(spot As Variant, strike As Variant, rate As Variant, _
        dividendYield As Variant, volatility As Variant, expiry As Variant, cash As Variant, _
        payoff As Variant, optionType As Variant) As Variant
    Dim vSpot As Double, vStrike As Double, vRate As Double, vDividendYield As Double
    Dim vVolatility As Double, vExpiry As Double, vCash As Double, vPayoff As Long
    Dim vOptionType As Long, vResult As Double, status As Long
    On Error GoTo Failed
    StartCall
    vSpot = ArgNumber(spot, "spot")
    vStrike = ArgNumber(strike, "strike")
    vRate = ArgNumber(rate, "rate")
    vDividendYield = ArgNumber(dividendYield, "dividendYield")
    vVolatility = ArgNumber(volatility, "volatility")
    vExpiry = ArgNumber(expiry, "expiry")
    vCash = ArgNumber(cash, "cash")
    vPayoff = ArgChoice(payoff, "payoff", "cash=9 asset=10")
    vOptionType = ArgChoice(optionType, "optionType", kCallPut)
    If ReadyToCall() Then status = HW_binary_compute(vSpot, vStrike, vRate, vDividendYield, vVolatility, _
        vExpiry, vCash, vPayoff, vOptionType, vResult)
    LorvexBinary = Finish(status, vResult)
    Exit Function
Failed:
    LorvexBinary = Unexpected()
End Function

' ---- Status and messages ---------------------------------------------------

' The meaning of a status returned by any Lorvex function.
Public Function LorvexStatusText(ByVal code As Long) As String
    Select Case code
        Case 0: LorvexStatusText = "success"
        Case -1: LorvexStatusText = "the curve's row bounds could not be read, or the tree could not be built (also when memory runs out)"
        Case -2: LorvexStatusText = "a curve element could not be read (declare the second dimension 0 To 1), or the swap schedule was rejected"
        Case -3: LorvexStatusText = "the cap schedule was rejected"
        Case -4: LorvexStatusText = "the curve array is missing; for a display, its node or level array"
        Case -5: LorvexStatusText = "the curve array is not two-dimensional; for a display, an output array"
        Case -6: LorvexStatusText = "a display array's row bounds could not be read (a missing array included)"
        Case -7: LorvexStatusText = "a display array is below its minimum size"
        Case -8: LorvexStatusText = "a write to a display array failed, or its elements are not 8-byte doubles"
        Case -9: LorvexStatusText = "an argument is outside what the calculation accepts"
        Case Else: LorvexStatusText = "unknown status " & code
    End Select
End Function

' The status of the last Lorvex function calculated in the given cell (0,
' a negative code, or #N/A when none has run there since the workbook was
' opened); without a cell, of the last Lorvex function called from anywhere.
Public Function LorvexStatus(Optional cell As Variant) As Variant
    Dim entry As Variant
    If IsMissing(cell) Then
        entry = Array(mLastStatus, mLastMessage)
    ElseIf Not RecordOf(cell, entry) Then
        entry = Array(CVErr(xlErrNA), "")
    End If
    If IsEmpty(entry(0)) Then entry(0) = CVErr(xlErrNA)
    LorvexStatus = entry(0)
End Function

' What the last Lorvex function calculated in the given cell reported:
' "success", or which input was refused and why, or the status's meaning.
' Without a cell, the message of the last Lorvex function called.
Public Function LorvexMessage(Optional cell As Variant) As Variant
    Dim entry As Variant
    If IsMissing(cell) Then
        LorvexMessage = mLastMessage
    ElseIf RecordOf(cell, entry) Then
        LorvexMessage = entry(1)
    Else
        LorvexMessage = CVErr(xlErrNA)
    End If
End Function

' ---- Loading the DLL and reading curves, for macros ------------------------

' Loads the DLL from the workbook's folder before the first HW_ call of a
' macro; raises an error naming the folders tried when it is not there.
' (Worksheet functions load it by themselves.)
Public Sub LorvexUseWorkbookFolder()
    StartCall
    If Not ReadyToCall() Then Err.Raise vbObjectError + 513, "Lorvex", mFault
End Sub

' Loads the DLL from the given folder, for a workbook whose own folder is not
' a folder on disk (a SharePoint library synced under another name, say).
' Raises an error when the DLL is not there. Once loaded, the DLL stays
' loaded until Excel closes.
Public Sub LorvexLoadFrom(ByVal folder As String)
    Do While Right$(folder, 1) = "\"
        folder = Left$(folder, Len(folder) - 1)
    Loop
    mFolder = folder
    LorvexUseWorkbookFolder
End Sub

' Reads a zero curve from a two-column range (serial dates, zero rates) into
' the array the HW_ functions take: rows 0 To n - 1, columns 0 To 1. Blank
' rows and one header row are skipped; a cell that is not a number raises an
' error naming it.
Public Function LorvexCurveFromRange(ByVal source As Range) As Double()
    StartCall
    LorvexCurveFromRange = ReadPoints(source, "curve", "dates and zero rates", True)
    If Len(mFault) > 0 Then Err.Raise vbObjectError + 514, "Lorvex", mFault
End Function

' Example: the zero curve in A1:B11 of the active sheet (a header row, then
' dates and rates), the bond's terms in D2:D6 (valuation date, years to
' maturity, coupon rate, face, coupons a year); the clean price, or what went
' wrong, goes to D8. In a cell: =LorvexBondPrice(D2, D3, D4, D5, D6, A1:B11).
Public Sub LorvexExampleBondPrice()
    Dim ws As Worksheet, price As Variant
    Set ws = ActiveSheet
    price = LorvexBondPrice(ws.Range("D2"), ws.Range("D3"), ws.Range("D4"), ws.Range("D5"), _
                            ws.Range("D6"), ws.Range("A1:B11"))
    If IsError(price) Then
        ws.Range("D8").Value = LorvexMessage()
    Else
        ws.Range("D8").Value = price
    End If
End Sub

' ---- Inside: one call's inputs, its result and the DLL ----------------------

' Each worksheet function reads every input first; the first one refused is
' kept, and the DLL is called only when none was.
Private Sub StartCall()
    mFault = vbNullString
    mFaultValue = Empty
    mFaultStatus = kBadArgument
End Sub

Private Sub Refuse(ByVal message As String, Optional ByVal errorValue As Variant)
    If Len(mFault) > 0 Then Exit Sub
    mFault = message
    If IsMissing(errorValue) Then mFaultValue = CVErr(xlErrValue) Else mFaultValue = errorValue
End Sub

' True when every input was read and the DLL is loaded.
Private Function ReadyToCall() As Boolean
    If Len(mFault) > 0 Then Exit Function
    If mLibrary = 0 Then LoadDll
    ReadyToCall = (mLibrary <> 0)
End Function

' The worksheet function's result: the value when the call succeeded,
' otherwise #VALUE! or #NUM!, with the status and message kept for
' LorvexStatus and LorvexMessage.
Private Function Finish(ByVal status As Long, ByVal value As Variant) As Variant
    If Len(mFault) > 0 Then
        Record mFaultStatus, mFault
        Finish = mFaultValue
    ElseIf status <> 0 Then
        Record status, "status " & status & ": " & LorvexStatusText(status)
        Finish = CVErr(xlErrNum)
    Else
        Record 0, LorvexStatusText(0)
        Finish = value
    End If
End Function

' A VBA run-time error inside a worksheet function, which Excel would show as
' a bare #VALUE!.
Private Function Unexpected() As Variant
    Record CVErr(xlErrNA), "VBA error " & Err.Number & ": " & Err.Description
    Unexpected = CVErr(xlErrValue)
End Function

Private Sub Record(ByVal status As Variant, ByVal message As String)
    Dim key As String
    mLastStatus = status
    mLastMessage = message
    key = CallerKey()
    If Len(key) = 0 Then Exit Sub
    If mByCell Is Nothing Then Set mByCell = New Collection
    On Error Resume Next
    mByCell.Remove key
    On Error GoTo 0
    mByCell.Add Array(status, message), key
End Sub

Private Function RecordOf(ByVal cell As Variant, ByRef entry As Variant) As Boolean
    If TypeName(cell) <> "Range" Or mByCell Is Nothing Then Exit Function
    On Error GoTo Missing
    entry = mByCell(CellKey(cell))
    RecordOf = True
Missing:
End Function

' The calling cell, when a worksheet formula is calculating.
Private Function CallerKey() As String
    On Error GoTo NotACell
    If TypeName(Application.Caller) = "Range" Then CallerKey = CellKey(Application.Caller)
NotACell:
End Function

Private Function CellKey(ByVal cell As Range) As String
    CellKey = "[" & cell.Worksheet.Parent.Name & "]" & cell.Worksheet.Name & "!" & cell.Cells(1, 1).Address
End Function

' Loads the DLL of this Office by its full path: from the folder given to
' LorvexLoadFrom, else from the workbook's folder (for a workbook in a
' OneDrive folder, whose path is a web address, from the synced folder on
' disk), else through Windows' own search, the PATH included. No current
' folder is changed, so a network share (\\server\share) works as well.
Private Sub LoadDll()
    Dim folders As New Collection, folder As Variant, path As String, tried As String, wrongKind As String
    If Len(mFolder) > 0 Then folders.Add mFolder
    path = ThisWorkbook.Path
    If LCase$(Left$(path, 8)) = "https://" Or LCase$(Left$(path, 7)) = "http://" Then
        AddSyncedFolders folders, path
    ElseIf Len(path) > 0 Then
        folders.Add path
    End If
    For Each folder In folders
        path = folder & IIf(Right$(folder, 1) = "\", "", "\") & kLibraryName
        mLibrary = LorvexLoadLibrary(StrPtr(path))
        If mLibrary <> 0 Then Exit Sub
        ' 193: a DLL for the other bitness of Office.
        If Err.LastDllError = 193 Then wrongKind = " (" & path & " is not a DLL for this " & _
            IIf(kLibraryName = "Lorvex64.dll", "64", "32") & "-bit Office)"
        tried = tried & IIf(Len(tried) > 0, ", ", "") & folder
    Next
    path = kLibraryName
    mLibrary = LorvexLoadLibrary(StrPtr(path))
    If mLibrary <> 0 Then Exit Sub
    If Len(tried) = 0 Then tried = "(the workbook is not saved yet)"
    Refuse kLibraryName & " could not be loaded from " & tried & " nor from the PATH" & wrongKind
    mFaultStatus = CVErr(xlErrNA)
End Sub

' A workbook in a OneDrive folder reports a web address as its path:
' https://d.docs.live.net/<drive id>/<folders> for a personal OneDrive,
' https://<tenant>-my.sharepoint.com/personal/<user>/Documents/<folders> for a
' work one. Its files sit in the same folders under the OneDrive folder on
' disk, which Windows names in OneDriveConsumer, OneDriveCommercial and
' OneDrive.
Private Sub AddSyncedFolders(ByVal folders As Collection, ByVal url As String)
    Dim parts() As String, first As Long, i As Long, relative As String, root As Variant
    parts = Split(url, "/")   ' "https:", "", host, ...
    If UBound(parts) < 3 Then Exit Sub
    If LCase$(parts(2)) = "d.docs.live.net" Then
        first = 4
    ElseIf UBound(parts) >= 5 And LCase$(parts(3)) = "personal" Then
        first = 6
    Else
        Exit Sub
    End If
    For i = first To UBound(parts)
        relative = relative & "\" & UrlDecoded(parts(i))
    Next
    For Each root In Array(Environ$("OneDriveCommercial"), Environ$("OneDriveConsumer"), Environ$("OneDrive"))
        If Len(root) > 0 Then folders.Add root & relative
    Next
End Sub

' %XX escapes of ASCII characters decoded; others left as they are.
Private Function UrlDecoded(ByVal escaped As String) As String
    Dim i As Long, code As Long
    i = InStr(escaped, "%")
    Do While i > 0 And i + 2 <= Len(escaped)
        code = -1
        If Mid$(escaped, i + 1, 2) Like "[0-7][0-9A-Fa-f]" Then code = CLng("&H" & Mid$(escaped, i + 1, 2))
        If code >= 32 Then escaped = Left$(escaped, i - 1) & Chr$(code) & Mid$(escaped, i + 3)
        i = InStr(i + 1, escaped, "%")
    Loop
    UrlDecoded = escaped
End Function

' ---- Inside: reading the inputs ---------------------------------------------

' The one value of a scalar input: a number given directly or in one cell.
' A cell holding an error value passes that error on.
Private Function ScalarOf(ByVal x As Variant, ByVal argument As String, ByRef value As Variant) As Boolean
    If TypeName(x) = "Range" Then
        If x.Areas.Count <> 1 Or x.Rows.Count <> 1 Or x.Columns.Count <> 1 Then
            Refuse argument & ": takes one cell, not " & x.Address(False, False)
            Exit Function
        End If
        value = x.Value2
    ElseIf IsArray(x) Then
        Refuse argument & ": takes one value, not an array"
        Exit Function
    Else
        value = x
    End If
    If IsError(value) Then
        Refuse argument & ": the input is " & Shown(value), value
        Exit Function
    End If
    ScalarOf = True
End Function

Private Function ArgNumber(ByVal x As Variant, ByVal argument As String) As Double
    Dim value As Variant
    If Not ScalarOf(x, argument, value) Then Exit Function
    If IsNumber(value) Then
        ArgNumber = CDbl(value)
    ElseIf IsBlank(value) Then
        Refuse argument & ": the input is blank"
    Else
        Refuse argument & ": " & Shown(value) & " is not a number"
    End If
End Function

' A count or frequency: a whole number.
Private Function ArgWhole(ByVal x As Variant, ByVal argument As String) As Long
    Dim d As Double
    d = ArgNumber(x, argument)
    If Len(mFault) > 0 Then Exit Function
    If d <> Int(d) Or d < -2147483648# Or d > 2147483647# Then
        Refuse argument & ": " & d & " is not a whole number", CVErr(xlErrNum)
    Else
        ArgWhole = CLng(d)
    End If
End Function

' A date: its serial day; the time of a date and time (NOW()) is dropped.
Private Function ArgSerial(ByVal x As Variant, ByVal argument As String) As Long
    Dim d As Double
    d = ArgNumber(x, argument)
    If Len(mFault) > 0 Then Exit Function
    If d < -2147483648# Or d >= 2147483648# Then
        Refuse argument & ": " & d & " is not a serial date", CVErr(xlErrNum)
    Else
        ArgSerial = CLng(Int(d))
    End If
End Function

' A choice: one of the words of choices ("call=1 put=0"), in any case, which
' gives its code; or a whole number, passed to the export as it is; TRUE and
' FALSE are the words "true" and "false".
Private Function ArgChoice(ByVal x As Variant, ByVal argument As String, ByVal choices As String) As Long
    Dim value As Variant, word As String, pair As Variant, listed As String
    If Not ScalarOf(x, argument, value) Then Exit Function
    If VarType(value) = vbBoolean Then value = IIf(value, "true", "false")
    If IsNumber(value) Then
        ArgChoice = ArgWhole(value, argument)
        Exit Function
    End If
    If IsBlank(value) Then
        Refuse argument & ": the input is blank"
        Exit Function
    End If
    If VarType(value) = vbString Then word = LCase$(Trim$(value))
    For Each pair In Split(choices, " ")
        If word = Left$(pair, InStr(pair, "=") - 1) Then
            ArgChoice = CLng(Mid$(pair, InStr(pair, "=") + 1))
            Exit Function
        End If
        listed = listed & IIf(Len(listed) > 0, ", ", "") & Left$(pair, InStr(pair, "=") - 1)
    Next
    Refuse argument & ": " & Shown(value) & " is not one of " & listed
End Function

' The zero curve: two columns, serial dates and zero rates; at least one point.
Private Function ArgCurve(ByVal x As Variant, ByVal argument As String) As Double()
    ArgCurve = ReadPoints(x, argument, "dates and zero rates", True)
End Function

' Cash dividends: two columns, times in years from today and amounts; none
' when blank (Empty). The export reads the array even without dividends,
' and VBA has no array of no rows: ReadPoints gives a dividend of 0 at time 0
' for none, which adds exactly 0 to every node.
Private Function ArgDividends(ByVal x As Variant, ByVal argument As String) As Double()
    ArgDividends = ReadPoints(x, argument, "times in years and amounts", False)
End Function

' The (x, y) rows of a two-column range or array as the exports take them:
' a Double array with rows 0 To n - 1 and columns 0 To 1. Blank rows are
' skipped, and so is a first row of text (a header); any other cell that is
' not a number is refused, naming the cell: read as 0, a blank or text cell
' would add a point at date 0 with a zero rate and move every price.
Private Function ReadPoints(ByVal x As Variant, ByVal argument As String, ByVal meaning As String, _
        ByVal required As Boolean) As Double()
    Dim points() As Double, grid As Variant, source As Range, oneRow(1 To 1, 1 To 2) As Variant
    Dim r0 As Long, r1 As Long, c0 As Long, i As Long, n As Long, k As Long, j As Long
    Dim headerAllowed As Boolean, blank As Boolean, label As Boolean
    ' One row (0, 0) until the rows are read: what a refused input returns,
    ' and what an optional list with no rows (no dividends) passes on.
    ReDim points(0 To 0, 0 To 1)
    ReadPoints = points
    If TypeName(x) = "Range" Then
        Set source = x
        If source.Areas.Count <> 1 Then
            Refuse argument & ": takes one block of two columns, not " & source.Address(False, False)
            Exit Function
        End If
        grid = source.Value2
    Else
        grid = x
    End If
    Select Case Dimensions(grid)
        Case 2
            r0 = LBound(grid, 1): r1 = UBound(grid, 1): c0 = LBound(grid, 2)
            If UBound(grid, 2) - c0 <> 1 Then
                Refuse argument & ": takes two columns (" & meaning & "), not " & (UBound(grid, 2) - c0 + 1)
                Exit Function
            End If
        Case 1   ' one row written as {date, rate}
            If UBound(grid) - LBound(grid) <> 1 Then
                Refuse argument & ": takes two columns (" & meaning & ")"
                Exit Function
            End If
            oneRow(1, 1) = grid(LBound(grid)): oneRow(1, 2) = grid(LBound(grid) + 1)
            grid = oneRow
            r0 = 1: r1 = 1: c0 = 1
        Case Else
            If IsError(grid) Then
                Refuse argument & ": the input is " & Shown(grid), grid
            ElseIf IsBlank(grid) And Not required Then
                Exit Function   ' a blank cell: no dividends
            Else
                Refuse argument & ": takes two columns (" & meaning & "), not one value"
            End If
            Exit Function
    End Select

    ' First pass: check every row and count the points.
    headerAllowed = True
    For i = r0 To r1
        blank = IsBlank(grid(i, c0)) And IsBlank(grid(i, c0 + 1))
        label = Not IsNumber(grid(i, c0)) And Not IsNumber(grid(i, c0 + 1)) And _
                Not IsError(grid(i, c0)) And Not IsError(grid(i, c0 + 1))
        If blank Then
            ' skipped
        ElseIf headerAllowed And label Then
            headerAllowed = False
        Else
            headerAllowed = False
            For j = 0 To 1
                If Not IsNumber(grid(i, c0 + j)) Then
                    If IsError(grid(i, c0 + j)) Then
                        Refuse argument & ": " & CellName(source, i - r0 + 1, j + 1) & " is " & _
                            Shown(grid(i, c0 + j)), grid(i, c0 + j)
                    ElseIf IsBlank(grid(i, c0 + j)) Then
                        Refuse argument & ": " & CellName(source, i - r0 + 1, j + 1) & _
                            " is blank, in a row with a value (" & meaning & ")"
                    Else
                        Refuse argument & ": " & CellName(source, i - r0 + 1, j + 1) & " holds " & _
                            Shown(grid(i, c0 + j)) & ", not a number (" & meaning & ")"
                    End If
                    Exit Function
                End If
            Next
            n = n + 1
        End If
    Next
    If n = 0 Then
        If required Then Refuse argument & ": no rows of numbers (" & meaning & ")"
        Exit Function
    End If

    ' Second pass: the numbers.
    ReDim points(0 To n - 1, 0 To 1)
    For i = r0 To r1
        If IsNumber(grid(i, c0)) Then
            points(k, 0) = CDbl(grid(i, c0))
            points(k, 1) = CDbl(grid(i, c0 + 1))
            k = k + 1
        End If
    Next
    ReadPoints = points
End Function

Private Function Dimensions(ByRef v As Variant) As Long
    Dim n As Long, bound As Long
    If Not IsArray(v) Then Exit Function
    On Error GoTo Done
    Do
        bound = UBound(v, n + 1)
        n = n + 1
    Loop
Done:
    Dimensions = n
End Function

Private Function IsNumber(ByVal v As Variant) As Boolean
    Select Case VarType(v)
        Case vbInteger, vbLong, vbSingle, vbDouble, vbCurrency, vbDate, vbDecimal, vbByte, 20   ' 20: LongLong
            IsNumber = True
    End Select
End Function

' An empty cell, or a formula returning "".
Private Function IsBlank(ByVal v As Variant) As Boolean
    If IsEmpty(v) Then
        IsBlank = True
    ElseIf VarType(v) = vbString Then
        IsBlank = (Len(Trim$(v)) = 0)
    End If
End Function

' A cell of a range by its address, of an array by its row and column.
Private Function CellName(ByVal source As Range, ByVal row As Long, ByVal column As Long) As String
    If source Is Nothing Then
        CellName = "row " & row & ", column " & column
    Else
        CellName = "cell " & source.Cells(row, column).Address(False, False)
    End If
End Function

' A value as a message shows it.
Private Function Shown(ByVal v As Variant) As String
    If IsError(v) Then
        Select Case v
            Case CVErr(xlErrNA): Shown = "#N/A"
            Case CVErr(xlErrDiv0): Shown = "#DIV/0!"
            Case CVErr(xlErrName): Shown = "#NAME?"
            Case CVErr(xlErrNull): Shown = "#NULL!"
            Case CVErr(xlErrNum): Shown = "#NUM!"
            Case CVErr(xlErrRef): Shown = "#REF!"
            Case Else: Shown = "#VALUE!"
        End Select
    ElseIf VarType(v) = vbString Then
        Shown = """" & v & """"
    ElseIf VarType(v) = vbBoolean Then
        Shown = IIf(v, "TRUE", "FALSE")
    ElseIf IsNumber(v) Then
        Shown = CStr(v)
    Else
        Shown = "a value of type " & TypeName(v)
    End If
End Function

' ---- Inside: the display tables ---------------------------------------------

' The bond tree's node rows with their level, node and time in front; the
' level array gives each level's time (column 0) and node count (column 2).
Private Function BondTreeTable(nodes() As Double, levels() As Double) As Variant
    Dim table() As Variant, rowCount As Long, level As Long, node As Long, r As Long
    For level = 0 To UBound(levels, 1)
        rowCount = rowCount + CLng(levels(level, 2))
    Next
    If rowCount = 0 Then Exit Function
    ReDim table(1 To rowCount, 1 To 7)
    For level = 0 To UBound(levels, 1)
        For node = 0 To CLng(levels(level, 2)) - 1
            table(r + 1, 1) = level
            table(r + 1, 2) = node
            table(r + 1, 3) = levels(level, 0)
            table(r + 1, 4) = nodes(r, 0)
            table(r + 1, 5) = nodes(r, 1)
            table(r + 1, 6) = nodes(r, 2)
            table(r + 1, 7) = nodes(r, 3)
            r = r + 1
        Next
    Next
    BondTreeTable = table
End Function

' The stock tree's node rows (row k(k + 1)/2 + m for node m of level k) with
' their level, node and time (level row k + 2) in front.
Private Function EquityTreeTable(nodes() As Double, levels() As Double, ByVal steps As Long) As Variant
    Dim table() As Variant, level As Long, node As Long, r As Long
    ReDim table(1 To (steps + 1) * (steps + 2) / 2, 1 To 6)
    For level = 0 To steps
        For node = 0 To level
            table(r + 1, 1) = level
            table(r + 1, 2) = node
            table(r + 1, 3) = levels(level + 2, 0)
            table(r + 1, 4) = nodes(r, 0)
            table(r + 1, 5) = nodes(r, 1)
            table(r + 1, 6) = nodes(r, 2)
            r = r + 1
        Next
    Next
    EquityTreeTable = table
End Function
