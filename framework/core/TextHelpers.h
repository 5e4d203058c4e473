// Small text helpers every layer shares: hexadecimal digits and prefixes compared without regard to case.
#pragma once

#include <cstddef>

// The value of a hexadecimal digit of either case; -1 for any other character.
int HexDigitValue(wchar_t ch);

// The upper-case hexadecimal digit of the low four bits of a value.
char UpperHexDigit(unsigned value);

// Whether the text begins with the prefix, the ASCII letters compared without regard to case. Only ASCII letters
// fold: no other character stands in for one ("\x17F" is not "s"), so an address check cannot be talked round.
// A null text begins with nothing but an empty prefix.
bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix);
// The same over the first `length` characters of a text that need not end with a zero.
bool StartsWithNoCase(const wchar_t* text, size_t length, const wchar_t* prefix);
