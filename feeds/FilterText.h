// The quick filter's tagged text: "#AND#..#/AND##OR#..#/OR##NOT#..#/NOT#".
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"

// The tagged text of the three word lists; a list that is absent or empty is left out with its tags.
CString BuildFilterText(LPCWSTR andWords, LPCWSTR orWords, LPCWSTR notWords);
// The words of each tagged section; an output whose section is missing is left unchanged. Returns true.
bool ParseFilterTerms(LPCWSTR text, CString& andWords, CString& orWords, CString& notWords);
