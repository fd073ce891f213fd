// The machine's identity from WMI (Win32_ComputerSystemProduct).
#pragma once

#include "text/FixedText.h"

namespace velopass {

// Where the query stopped; the card does not look at it.
enum WmiStatus {
    WmiOk = 0,
    WmiComFailed = 1,
    WmiSecurityFailed = 2,
    WmiLocatorFailed = 3,
    WmiConnectFailed = 4,
    WmiQueryFailed = 5,
    WmiProxyFailed = 9,
};

// The product's properties the card reads, each under its own name.
struct SystemProduct {
    Text vendor;             // "Vendor": the brand, where the registry does not name it
    Text name;               // "Name": the product name
    Text identifyingNumber;  // "IdentifyingNumber": the serial number
};

// Reads the properties of every instance into `product` (the last instance
// wins; a property that cannot be read keeps its value). A value longer than
// a text holds is cut.
int QuerySystemProduct(SystemProduct& product);

}  // namespace velopass
