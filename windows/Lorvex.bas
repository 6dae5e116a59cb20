Attribute VB_Name = "Lorvex"
' Lorvex pricing functions for Excel VBA.
'
' Import this module into a workbook (VBA editor: File > Import File...) and
' put the DLL that matches your Office in the workbook's folder: Lorvex.dll
' for 32-bit Office, Lorvex64.dll for 64-bit Office (File > Account > About
' Excel tells which). Call LorvexUseWorkbookFolder once before the first call
' so that Windows finds the DLL there.
'
' Conventions: dates are serial dates (Long), times are in years, rates are
' decimals, zero rates are continuously compounded on actual/365. The zero
' curve is a two-column Double array declared with its second dimension
' 0 To 1 (column 0 the date, column 1 the rate). Every function returns a
' status: 0 for success; LorvexStatusText gives its meaning.
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

' The meaning of a status returned by any Lorvex function.
Public Function LorvexStatusText(ByVal status As Long) As String
    Select Case status
        Case 0: LorvexStatusText = "success"
        Case -1: LorvexStatusText = "curve row bounds unreadable, or the tree could not be built"
        Case -2: LorvexStatusText = "curve element unreadable (declare the second dimension 0 To 1), or swap schedule rejected"
        Case -3: LorvexStatusText = "cap schedule rejected"
        Case -4: LorvexStatusText = "curve array missing (or, for a display, an output array fault)"
        Case -5: LorvexStatusText = "curve array is not two-dimensional (or, for a display, an output array fault)"
        Case -6, -7, -8: LorvexStatusText = "output array missing, too small or with the wrong bounds"
        Case -9: LorvexStatusText = "an argument is outside what the calculation accepts"
        Case Else: LorvexStatusText = "unknown status " & status
    End Select
End Function

' Makes the workbook's folder the current folder, where Windows looks for the
' DLL when it is not on the PATH.
Public Sub LorvexUseWorkbookFolder()
    On Error Resume Next
    ChDrive Left$(ThisWorkbook.Path, 1)
    ChDir ThisWorkbook.Path
End Sub

' Reads a zero curve from a two-column range (serial dates, zero rates) into
' the array layout the functions expect.
Public Function LorvexCurveFromRange(ByVal source As Range) As Double()
    Dim curve() As Double
    Dim i As Long
    ReDim curve(0 To source.Rows.Count - 1, 0 To 1)
    For i = 1 To source.Rows.Count
        curve(i - 1, 0) = CDbl(source.Cells(i, 1).Value)
        curve(i - 1, 1) = CDbl(source.Cells(i, 2).Value)
    Next i
    LorvexCurveFromRange = curve
End Function

' Example: the zero curve in A2:B11 of the active sheet (dates, rates), the
' bond's terms in D2:D6 (valuation date, years to maturity, coupon rate, face,
' coupons per year); the clean price, or the status's meaning, goes to D8.
Public Sub LorvexExampleBondPrice()
    Dim ws As Worksheet
    Dim curve() As Double
    Dim price As Double
    Dim status As Long
    Set ws = ActiveSheet
    LorvexUseWorkbookFolder
    curve = LorvexCurveFromRange(ws.Range("A2:B11"))
    status = HW_BondPrice(CLng(ws.Range("D2").Value), ws.Range("D3").Value, ws.Range("D4").Value, _
                          ws.Range("D5").Value, CLng(ws.Range("D6").Value), curve, price)
    If status = 0 Then
        ws.Range("D8").Value = price
    Else
        ws.Range("D8").Value = "Lorvex status " & status & ": " & LorvexStatusText(status)
    End If
End Sub
