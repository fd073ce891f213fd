// The machine's identity from WMI (Win32_ComputerSystemProduct).
#pragma once

#include "text/FixedText.h"
#include "win/Handles.h"

#include <memory>

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

// The query on a thread of its own, begun at once, in the process's
// multithreaded apartment, so that the start-up goes on beside it. The thread
// owns nothing but its apartment and the answer it fills, which it shares
// with this alone; a card that is closed before the answer has come does not
// wait for it, and the process's end ends the thread.
class SystemProductQuery {
public:
    SystemProductQuery();
    SystemProductQuery(const SystemProductQuery&) = delete;
    SystemProductQuery& operator=(const SystemProductQuery&) = delete;

    // Waits for the answer; meanwhile the calling thread's windows answer the
    // messages sent to them (a log-off's, an installer's), which may set
    // `closed`. Null once `closed` is set before the answer has come.
    const SystemProduct* Answer(const bool& closed);

private:
    static unsigned long __stdcall Run(void* held);

    std::shared_ptr<SystemProduct> m_product;  // the answer, which the thread holds too until it ends
    win::UniqueKernelHandle m_thread;  // none once it has ended, or when it could not start
};

}  // namespace velopass
