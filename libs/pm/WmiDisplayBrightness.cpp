// WMI queries and method calls for the display's brightness.
#include "WmiDisplayBrightness.h"

#include "ComHandles.h"

namespace tabvisor::brightness {
namespace {

void AllowCallsThroughProxy(IUnknown* proxy)
{
    // Not every object handed out is a proxy; for those that are not this fails harmlessly.
    CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

afx::com_ptr<IWbemClassObject> NextObject(IEnumWbemClassObject* enumerator, long timeoutMs, HRESULT& result)
{
    afx::com_ptr<IWbemClassObject> object;
    ULONG returned = 0;
    result = enumerator->Next(timeoutMs, 1, object.put(), &returned);
    if (returned == 0) object.reset();
    return object;
}

std::optional<uint8_t> ByteProperty(IWbemClassObject* object, const wchar_t* name)
{
    afx::unique_variant value;
    if (FAILED(object->Get(name, 0, value.put(), nullptr, nullptr))) return std::nullopt;
    if (FAILED(VariantChangeType(&value.get(), &value.get(), 0, VT_UI1))) return std::nullopt;
    return value.get().bVal;
}

bool IsActive(IWbemClassObject* object)
{
    afx::unique_variant value;
    return SUCCEEDED(object->Get(L"Active", 0, value.put(), nullptr, nullptr)) && value.get().vt == VT_BOOL &&
           value.get().boolVal != VARIANT_FALSE;
}

std::vector<uint8_t> ByteArrayProperty(IWbemClassObject* object, const wchar_t* name)
{
    afx::unique_variant value;
    std::vector<uint8_t> bytes;
    if (FAILED(object->Get(name, 0, value.put(), nullptr, nullptr))) return bytes;
    if (value.get().vt != (VT_ARRAY | VT_UI1) || !value.get().parray) return bytes;
    SAFEARRAY* array = value.get().parray;
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    void* data = nullptr;
    if (upper < lower || FAILED(SafeArrayAccessData(array, &data))) return bytes;
    const auto* first = static_cast<const uint8_t*>(data);
    bytes.assign(first, first + (upper - lower + 1));
    SafeArrayUnaccessData(array);
    return bytes;
}

std::wstring StringProperty(IWbemClassObject* object, const wchar_t* name)
{
    afx::unique_variant value;
    if (FAILED(object->Get(name, 0, value.put(), nullptr, nullptr)) || value.get().vt != VT_BSTR ||
        !value.get().bstrVal)
        return {};
    return value.get().bstrVal;
}

} // namespace

std::optional<WmiDisplayBrightness> WmiDisplayBrightness::Connect()
{
    afx::com_ptr<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                locator.put_void())))
        return std::nullopt;
    afx::com_ptr<IWbemServices> services;
    afx::unique_bstr wmiNamespace = afx::make_bstr(L"ROOT\\WMI");
    if (FAILED(locator->ConnectServer(wmiNamespace.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                      services.put())))
        return std::nullopt;
    AllowCallsThroughProxy(services.get());
    return WmiDisplayBrightness(std::move(services));
}

afx::com_ptr<IEnumWbemClassObject> WmiDisplayBrightness::Query(const wchar_t* wql, long flags)
{
    afx::com_ptr<IEnumWbemClassObject> enumerator;
    afx::unique_bstr language = afx::make_bstr(L"WQL");
    afx::unique_bstr query = afx::make_bstr(wql);
    if (FAILED(m_services->ExecQuery(language.get(), query.get(), flags, nullptr, enumerator.put())))
        return {};
    AllowCallsThroughProxy(enumerator.get());
    return enumerator;
}

std::optional<DisplayBrightness> WmiDisplayBrightness::Read()
{
    auto enumerator = Query(L"SELECT * FROM WmiMonitorBrightness", WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY);
    if (!enumerator) return std::nullopt;
    afx::com_ptr<IWbemClassObject> chosen;
    HRESULT result = S_OK;
    while (auto object = NextObject(enumerator.get(), WBEM_INFINITE, result)) {
        if (!chosen || IsActive(object.get())) chosen = object;
        if (IsActive(object.get())) break;
    }
    if (!chosen) return std::nullopt;
    const auto current = ByteProperty(chosen.get(), L"CurrentBrightness");
    if (!current) return std::nullopt;

    if (m_methodsPath.empty()) {
        if (auto methods = Query(L"SELECT * FROM WmiMonitorBrightnessMethods", WBEM_FLAG_FORWARD_ONLY)) {
            if (auto instance = NextObject(methods.get(), WBEM_INFINITE, result))
                m_methodsPath = StringProperty(instance.get(), L"__PATH");
        }
    }
    return DisplayBrightness{*current, ByteArrayProperty(chosen.get(), L"Level")};
}

bool WmiDisplayBrightness::SetPercent(uint8_t percent)
{
    if (m_methodsPath.empty()) return false;
    afx::unique_bstr className = afx::make_bstr(L"WmiMonitorBrightnessMethods");
    afx::unique_bstr methodName = afx::make_bstr(L"WmiSetBrightness");
    afx::com_ptr<IWbemClassObject> methodsClass;
    afx::com_ptr<IWbemClassObject> signature;
    afx::com_ptr<IWbemClassObject> arguments;
    if (FAILED(m_services->GetObject(className.get(), 0, nullptr, methodsClass.put(), nullptr)) ||
        FAILED(methodsClass->GetMethod(methodName.get(), 0, signature.put(), nullptr)) || !signature ||
        FAILED(signature->SpawnInstance(0, arguments.put())))
        return false;

    afx::unique_variant timeout;
    timeout.get().vt = VT_I4;
    timeout.get().lVal = 1; // seconds the driver may take
    afx::unique_variant brightness;
    brightness.get().vt = VT_UI1;
    brightness.get().bVal = percent;
    if (FAILED(arguments->Put(L"Timeout", 0, &timeout.get(), 0)) ||
        FAILED(arguments->Put(L"Brightness", 0, &brightness.get(), 0)))
        return false;
    afx::unique_bstr path = afx::make_bstr(m_methodsPath.c_str());
    return SUCCEEDED(m_services->ExecMethod(path.get(), methodName.get(), 0, nullptr, arguments.get(), nullptr, nullptr));
}

bool WmiDisplayBrightness::Subscribe()
{
    afx::unique_bstr language = afx::make_bstr(L"WQL");
    afx::unique_bstr query = afx::make_bstr(L"SELECT * FROM WmiMonitorBrightnessEvent");
    if (FAILED(m_services->ExecNotificationQuery(language.get(), query.get(),
                                                 WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                                 m_events.put())))
        return false;
    AllowCallsThroughProxy(m_events.get());
    return static_cast<bool>(m_events);
}

bool WmiDisplayBrightness::WaitForChange(uint8_t& percent)
{
    if (!m_events) return false;
    HRESULT result = S_OK;
    // Events come only when something changes, so waiting for them costs an idle process nothing.
    auto event = NextObject(m_events.get(), WBEM_INFINITE, result);
    const auto value = event ? ByteProperty(event.get(), L"Brightness") : std::nullopt;
    if (!value) return false;
    percent = *value;
    return true;
}

} // namespace tabvisor::brightness
