// Compiler COM support (_bstr_t, _variant_t, _com_error, _com_ptr_t) from mingw-w64's comdef.h, completed with
// the functions it declares but its libraries do not provide: _com_util::ConvertStringToBSTR and
// ConvertBSTRToString (behind _bstr_t and _variant_t of narrow text), _com_issue_errorex and vtMissing.
#pragma once

#include <windows.h>
#include <comdef.h>
