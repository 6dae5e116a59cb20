// The choices of a contract, one set of names for the public C++ API and
// for every pricer inside the library. The C exports take them as
// spreadsheet integer flags ("compared with 1") and map them once, at the
// boundary.
#pragma once

namespace lorvex {

// A call pays on a rise of its underlying, a put on a fall. Rate options
// name the underlying they are written on: a cap is a call on the rate, a
// floor a put on it; a payer swaption is a call on the swap rate, a
// receiver a put on it (and a call on the fixed leg taken as a bond).
enum class OptionType { Call, Put };
enum class SwaptionType { Payer, Receiver };  // pay or receive the fixed rate
enum class CapType { Cap, Floor };
enum class Exercise { European, American };
// Clean: the strike excludes the coupon accrued at expiry, which is added
// to it; dirty: the strike is the full price paid.
enum class StrikeQuote { Clean, Dirty };
// Volatility form of the Hull-White tree: normal (Hull-White), lognormal,
// or the shape g(r) = r on its points.
enum class TreeKind { Normal, Lognormal, Shape };
enum class BarrierType { UpIn, UpOut, DownIn, DownOut };
// Cash-or-nothing pays `cash`, asset-or-nothing the stock.
enum class Payoff { Cash, Asset };

}  // namespace lorvex
