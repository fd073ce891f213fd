#include "machine/Wmi.h"

#include "win/Handles.h"

#include <objbase.h>
#include <wbemidl.h>

#include <memory>

namespace velopass {

namespace {

// A BSTR that frees itself.
class Bstr {
public:
    explicit Bstr(const wchar_t* text) : m_text(::SysAllocString(text)) {}
    ~Bstr() { ::SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return m_text; }

private:
    BSTR m_text;
};

class Variant {
public:
    Variant() { ::VariantInit(&m_value); }
    ~Variant() { ::VariantClear(&m_value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() { return &m_value; }

private:
    VARIANT m_value;
};

void ReadProperties(IWbemClassObject* object, SystemProduct& product)
{
    const struct {
        const wchar_t* name;
        Text& value;
    } properties[] = {{L"Vendor", product.vendor}, {L"Name", product.name},
                      {L"IdentifyingNumber", product.identifyingNumber}};
    for (const auto& property : properties) {
        Variant value;
        if (FAILED(object->Get(property.name, 0, value.get(), nullptr, nullptr)))
            continue;
        // A value with no text form (null, say) leaves the previous text.
        if (FAILED(::VariantChangeType(value.get(), value.get(), 0, VT_BSTR)) || value.get()->vt != VT_BSTR)
            continue;
        property.value = value.get()->bstrVal ? value.get()->bstrVal : L"";
    }
}

}  // namespace

int QuerySystemProduct(SystemProduct& product)
{
    if (FAILED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return WmiComFailed;

    // RPC_E_TOO_LATE: this process set its COM security already, which is all the query needs.
    const HRESULT security = ::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    if (FAILED(security) && security != RPC_E_TOO_LATE)
        return WmiSecurityFailed;

    win::ComPtr<IWbemLocator> locator;
    if (FAILED(::CoCreateInstance(CLSID_WbemLocator, nullptr,
                                  CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER, IID_IWbemLocator,
                                  locator.put_void())))
        return WmiLocatorFailed;

    const Bstr space(L"\\\\.\\root\\cimv2");
    const Bstr language(L"WQL");
    const Bstr query(L"select * from Win32_ComputerSystemProduct");
    if (!space.get() || !language.get() || !query.get())
        return WmiConnectFailed;

    // A broken WMI service must not keep the card from opening.
    win::ComPtr<IWbemServices> services;
    if (FAILED(locator->ConnectServer(space.get(), nullptr, nullptr, nullptr, WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr,
                                      nullptr, services.put())))
        return WmiConnectFailed;

    if (FAILED(::CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                                   RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE)))
        return WmiProxyFailed;

    win::ComPtr<IEnumWbemClassObject> instances;
    if (FAILED(services->ExecQuery(language.get(), query.get(), 0, nullptr, instances.put())))
        return WmiQueryFailed;

    for (;;) {
        win::ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        const HRESULT next = instances->Next(10000, 1, object.put(), &returned);
        if (next == WBEM_S_FALSE || returned == 0 || !object)
            break;
        ReadProperties(object.get(), product);
    }
    return WmiOk;
}

SystemProductQuery::SystemProductQuery() : m_product(std::make_shared<SystemProduct>())
{
    // The thread that asks for the query stays in the multithreaded apartment, as it always was: what it does
    // with COM later (a screen reader's objects, the pictures' codecs) finds the apartment it expects.
    ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    auto held = std::make_unique<std::shared_ptr<SystemProduct>>(m_product);  // the thread's hold on the answer
    m_thread.reset(::CreateThread(nullptr, 0, &SystemProductQuery::Run, held.get(), 0, nullptr));
    if (m_thread) {
        held.release();  // the thread's own now
        return;
    }
    QuerySystemProduct(*m_product);  // no thread to be had: the query waits for no one, then
}

unsigned long __stdcall SystemProductQuery::Run(void* held)
{
    const std::unique_ptr<std::shared_ptr<SystemProduct>> answer(static_cast<std::shared_ptr<SystemProduct>*>(held));
    if (QuerySystemProduct(**answer) != WmiComFailed)
        ::CoUninitialize();
    return 0;
}

const SystemProduct* SystemProductQuery::Answer(const bool& closed)
{
    while (m_thread && !closed) {
        const HANDLE thread = m_thread.get();
        if (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0) {
            m_thread.reset();
            break;
        }
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return m_thread ? nullptr : m_product.get();
}

}  // namespace velopass
