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

// Reads the named properties of every instance into `values` (the last
// instance wins; a property that cannot be read keeps its value). A value
// longer than a text holds is cut.
int QuerySystemProduct(const Text (&names)[3], Text (&values)[3]);

}  // namespace velopass
