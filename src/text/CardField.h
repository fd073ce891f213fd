// The card's seven values, in display order. Portable.
#pragma once

namespace velopass {

enum CardField { ProductName, SerialNumber, Snid, PartNumber, DateOfPurchase, Fub, Dlr, CardFieldCount };

}  // namespace velopass
