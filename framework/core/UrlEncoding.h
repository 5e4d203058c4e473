// Percent-encoding and -decoding of the texts that go into web addresses and form bodies.
#pragma once

#include <string>

#include "framework/core/AfxString.h"

// The bytes percent-encoded: ASCII letters and digits and the bytes listed in `kept` stay as they are; with
// bBlanksAsPlus a blank, tab, vertical tab or form feed becomes "+"; every other byte becomes "%" and two
// upper-case hexadecimal digits.
std::string PercentEncodeBytes(const std::string& bytes, const char* kept, bool bBlanksAsPlus);

// Percent-encoding of a text's UTF-8 bytes; letters, digits and "-._~" stay as they are.
CString PercentEncode(const CString& text);

// The reverse: each run of "%XX" sequences read as UTF-8 bytes (with bQuery "+" as a blank); anything else,
// a "%" without two hexadecimal digits too, as it stands.
CString PercentDecode(const CString& text, bool bQuery);
