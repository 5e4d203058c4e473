// Compiler COM support: narrow text through _bstr_t and _variant_t, and errors raised with the object's
// error information.
#include "framework/core/ComSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ComSupport, NarrowTextThroughBstr)
{
    _bstr_t text("caf\xE9 \x80");
    EXPECT_EQ(std::wstring(L"caf\x00E9 \x20AC"), std::wstring(static_cast<const wchar_t*>(text), text.length()));
    EXPECT_EQ(std::string("caf\xE9 \x80"), std::string(static_cast<const char*>(text)));

    _bstr_t wide(L"\x00FC"
                 L"ber");
    EXPECT_EQ(std::string("\xFC"
                          "ber"),
              std::string(static_cast<const char*>(wide)));

    _bstr_t empty("");
    EXPECT_EQ(0u, empty.length());
    EXPECT_EQ(std::string(), std::string(static_cast<const char*>(empty)));

    _bstr_t none(static_cast<const char*>(nullptr));
    EXPECT_EQ(nullptr, static_cast<const wchar_t*>(none));

    BSTR direct = _com_util::ConvertStringToBSTR("abc");
    ASSERT_NE(nullptr, direct);
    EXPECT_EQ(3u, SysStringLen(direct));
    char* back = _com_util::ConvertBSTRToString(direct);
    EXPECT_EQ(std::string("abc"), back);
    delete[] back;
    SysFreeString(direct);
    EXPECT_EQ(nullptr, _com_util::ConvertStringToBSTR(nullptr));
    EXPECT_EQ(nullptr, _com_util::ConvertBSTRToString(nullptr));
}

TEST(ComSupport, NarrowTextThroughVariant)
{
    _variant_t v("narrow");
    ASSERT_EQ(VT_BSTR, V_VT(&v));
    EXPECT_EQ(std::wstring(L"narrow"), std::wstring(V_BSTR(&v)));
    EXPECT_EQ(VT_ERROR, V_VT(&vtMissing));
    EXPECT_EQ(DISP_E_PARAMNOTFOUND, V_ERROR(&vtMissing));
}

// An object that says it supplies error information for IDispatch only.
class ErrorSource : public ISupportErrorInfo
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_ISupportErrorInfo) {
            *out = static_cast<ISupportErrorInfo*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override
    {
        return iid == IID_IDispatch ? S_OK : S_FALSE;
    }
    ULONG m_refs = 1;
};

void SetThreadError(const wchar_t* description)
{
    ICreateErrorInfo* create = nullptr;
    ASSERT_EQ(S_OK, CreateErrorInfo(&create));
    create->SetDescription(const_cast<LPOLESTR>(description));
    IErrorInfo* info = nullptr;
    create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
    SetErrorInfo(0, info);
    info->Release();
    create->Release();
}

TEST(ComSupport, IssueErrorExCarriesTheObjectsErrorInfo)
{
    ErrorSource source;
    SetThreadError(L"parser failed");
    try {
        _com_issue_errorex(E_FAIL, &source, IID_IDispatch);
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(E_FAIL, e.Error());
        EXPECT_EQ(std::wstring(L"parser failed"), std::wstring(static_cast<const wchar_t*>(e.Description())));
    }

    // For an interface the object does not vouch for, the thread's error information is not taken.
    SetThreadError(L"stale");
    try {
        _com_issue_errorex(E_OUTOFMEMORY, &source, IID_IUnknown);
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(E_OUTOFMEMORY, e.Error());
        EXPECT_EQ(nullptr, e.ErrorInfo());
    }
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(1u, source.m_refs);

    try {
        _com_issue_errorex(E_POINTER, nullptr, IID_IDispatch);
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(E_POINTER, e.Error());
    }
}

} // namespace
