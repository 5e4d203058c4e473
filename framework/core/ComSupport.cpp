#include "framework/core/ComSupport.h"

#include <new>

namespace _com_util {

// Narrow text is in the ANSI code page, as everywhere else in the program. nullptr for nullptr; nullptr on
// failure too, which _bstr_t and _variant_t turn into E_OUTOFMEMORY.
BSTR WINAPI ConvertStringToBSTR(const char* pSrc)
{
    if (!pSrc)
        return nullptr;
    int length = MultiByteToWideChar(CP_ACP, 0, pSrc, -1, nullptr, 0);
    if (length <= 0)
        return nullptr;
    // length counts the terminator, which SysAllocStringLen adds itself.
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(length - 1));
    if (!result)
        return nullptr;
    if (MultiByteToWideChar(CP_ACP, 0, pSrc, -1, result, length) <= 0) {
        SysFreeString(result);
        return nullptr;
    }
    return result;
}

// The caller owns the result and frees it with delete[] (as _bstr_t does). The whole BSTR is converted,
// embedded zeros included.
char* WINAPI ConvertBSTRToString(BSTR pSrc)
{
    if (!pSrc)
        return nullptr;
    const int wideLength = static_cast<int>(SysStringLen(pSrc));
    int length = wideLength ? WideCharToMultiByte(CP_ACP, 0, pSrc, wideLength, nullptr, 0, nullptr, nullptr) : 0;
    if (wideLength && length <= 0)
        _com_issue_error(E_INVALIDARG);
    char* result = new (std::nothrow) char[static_cast<size_t>(length) + 1];
    if (!result) {
        _com_issue_error(E_OUTOFMEMORY);
        return nullptr;
    }
    if (length)
        WideCharToMultiByte(CP_ACP, 0, pSrc, wideLength, result, length, nullptr, nullptr);
    result[length] = '\0';
    return result;
}

} // namespace _com_util

// Raises hr with the object's error information when the object says it supplies some for iid.
void WINAPI _com_issue_errorex(HRESULT hr, IUnknown* punk, REFIID riid)
{
    IErrorInfo* info = nullptr;
    if (punk) {
        ISupportErrorInfo* support = nullptr;
        if (SUCCEEDED(punk->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))) && support) {
            if (support->InterfaceSupportsErrorInfo(riid) == S_OK && GetErrorInfo(0, &info) != S_OK)
                info = nullptr;
            support->Release();
        }
    }
    // The handler takes over the reference to info (_com_error's constructor does not add one).
    __mingw_com_error_handler(hr, info);
}

// The "parameter not given" value for optional arguments of dispatch calls.
_variant_t vtMissing(DISP_E_PARAMNOTFOUND, VT_ERROR);
