// WMI queries and method calls for the display's brightness.
#include "WmiDisplayBrightness.h"

#include "OleValues.h"

namespace tabvisor::brightness {
namespace {

void AllowCallsThroughProxy(IUnknown* proxy)
{
    // Not every object handed out is a proxy; for those that are not this fails harmlessly.
    CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

ComPtr<IWbemClassObject> NextObject(IEnumWbemClassObject* enumerator, long timeoutMs, HRESULT& result)
{
    ComPtr<IWbemClassObject> object;
    ULONG returned = 0;
    result = enumerator->Next(timeoutMs, 1, object.Put(), &returned);
    if (returned == 0) object.Reset();
    return object;
}

std::optional<uint8_t> ByteProperty(IWbemClassObject* object, const wchar_t* name)
{
    UniqueVariant value;
    if (FAILED(object->Get(name, 0, value.Put(), nullptr, nullptr))) return std::nullopt;
    if (FAILED(VariantChangeType(&value.Get(), &value.Get(), 0, VT_UI1))) return std::nullopt;
    return value.Get().bVal;
}

bool IsActive(IWbemClassObject* object)
{
    UniqueVariant value;
    return SUCCEEDED(object->Get(L"Active", 0, value.Put(), nullptr, nullptr)) && value.Get().vt == VT_BOOL &&
           value.Get().boolVal != VARIANT_FALSE;
}

std::vector<uint8_t> ByteArrayProperty(IWbemClassObject* object, const wchar_t* name)
{
    UniqueVariant value;
    std::vector<uint8_t> bytes;
    if (FAILED(object->Get(name, 0, value.Put(), nullptr, nullptr))) return bytes;
    if (value.Get().vt != (VT_ARRAY | VT_UI1) || !value.Get().parray) return bytes;
    SAFEARRAY* array = value.Get().parray;
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
    UniqueVariant value;
    if (FAILED(object->Get(name, 0, value.Put(), nullptr, nullptr)) || value.Get().vt != VT_BSTR ||
        !value.Get().bstrVal)
        return {};
    return value.Get().bstrVal;
}

} // namespace

std::optional<WmiDisplayBrightness> WmiDisplayBrightness::Connect()
{
    ComPtr<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                locator.PutVoid())))
        return std::nullopt;
    ComPtr<IWbemServices> services;
    UniqueBstr wmiNamespace(L"ROOT\\WMI");
    if (FAILED(locator->ConnectServer(wmiNamespace.Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                      services.Put())))
        return std::nullopt;
    AllowCallsThroughProxy(services.Get());
    return WmiDisplayBrightness(std::move(services));
}

ComPtr<IEnumWbemClassObject> WmiDisplayBrightness::Query(const wchar_t* wql, long flags)
{
    ComPtr<IEnumWbemClassObject> enumerator;
    UniqueBstr language(L"WQL");
    UniqueBstr query(wql);
    if (FAILED(m_services->ExecQuery(language.Get(), query.Get(), flags, nullptr, enumerator.Put())))
        return {};
    AllowCallsThroughProxy(enumerator.Get());
    return enumerator;
}

std::optional<DisplayBrightness> WmiDisplayBrightness::Read()
{
    auto enumerator = Query(L"SELECT * FROM WmiMonitorBrightness", WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY);
    if (!enumerator) return std::nullopt;
    ComPtr<IWbemClassObject> chosen;
    HRESULT result = S_OK;
    while (auto object = NextObject(enumerator.Get(), WBEM_INFINITE, result)) {
        if (!chosen || IsActive(object.Get())) chosen = object;
        if (IsActive(object.Get())) break;
    }
    if (!chosen) return std::nullopt;
    const auto current = ByteProperty(chosen.Get(), L"CurrentBrightness");
    if (!current) return std::nullopt;

    if (m_methodsPath.empty()) {
        if (auto methods = Query(L"SELECT * FROM WmiMonitorBrightnessMethods", WBEM_FLAG_FORWARD_ONLY)) {
            if (auto instance = NextObject(methods.Get(), WBEM_INFINITE, result))
                m_methodsPath = StringProperty(instance.Get(), L"__PATH");
        }
    }
    return DisplayBrightness{*current, ByteArrayProperty(chosen.Get(), L"Level")};
}

bool WmiDisplayBrightness::SetPercent(uint8_t percent)
{
    if (m_methodsPath.empty()) return false;
    UniqueBstr className(L"WmiMonitorBrightnessMethods");
    UniqueBstr methodName(L"WmiSetBrightness");
    ComPtr<IWbemClassObject> methodsClass;
    ComPtr<IWbemClassObject> signature;
    ComPtr<IWbemClassObject> arguments;
    if (FAILED(m_services->GetObject(className.Get(), 0, nullptr, methodsClass.Put(), nullptr)) ||
        FAILED(methodsClass->GetMethod(methodName.Get(), 0, signature.Put(), nullptr)) || !signature ||
        FAILED(signature->SpawnInstance(0, arguments.Put())))
        return false;

    UniqueVariant timeout;
    timeout.Get().vt = VT_I4;
    timeout.Get().lVal = 1; // seconds the driver may take
    UniqueVariant brightness;
    brightness.Get().vt = VT_UI1;
    brightness.Get().bVal = percent;
    if (FAILED(arguments->Put(L"Timeout", 0, &timeout.Get(), 0)) ||
        FAILED(arguments->Put(L"Brightness", 0, &brightness.Get(), 0)))
        return false;
    UniqueBstr path(m_methodsPath.c_str());
    return SUCCEEDED(m_services->ExecMethod(path.Get(), methodName.Get(), 0, nullptr, arguments.Get(), nullptr, nullptr));
}

bool WmiDisplayBrightness::Subscribe()
{
    UniqueBstr language(L"WQL");
    UniqueBstr query(L"SELECT * FROM WmiMonitorBrightnessEvent");
    if (FAILED(m_services->ExecNotificationQuery(language.Get(), query.Get(),
                                                 WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                                 m_events.Put())))
        return false;
    AllowCallsThroughProxy(m_events.Get());
    return static_cast<bool>(m_events);
}

bool WmiDisplayBrightness::WaitForChange(uint8_t& percent)
{
    if (!m_events) return false;
    HRESULT result = S_OK;
    // Events come only when something changes, so waiting for them costs an idle process nothing.
    auto event = NextObject(m_events.Get(), WBEM_INFINITE, result);
    const auto value = event ? ByteProperty(event.Get(), L"Brightness") : std::nullopt;
    if (!value) return false;
    percent = *value;
    return true;
}

} // namespace tabvisor::brightness
