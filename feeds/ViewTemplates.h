// The display templates: feeds.xsl and the read-state images for the news view, weather.htm for the weather
// panel, each filled in with per-user values.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"

// Writes the data folder's feeds.xsl from the template in the given folder (the program's folder when null),
// with "%IMAGEPATH%" and "%BOOKMARK%" filled in and the lines joined into one, and copies new.png, read.png
// and unread.png into the data folder's "images". An unreadable template leaves feeds.xsl as it was; returns
// whether feeds.xsl was written.
bool InstallViewTemplates(LPCWSTR templateFolder = nullptr);

// Writes the data folder's weather.htm from "Install_Dir" + "\weather.htm" with "%LOCATION%" filled in
// ("Location", default "32333"). False when the template is missing.
bool WriteWeatherPage();

// A token value made safe for the text or an attribute of an XML or HTML template: markup characters become
// entities and everything outside printable ASCII a character reference, so the file's encoding cannot
// garble it either.
CString EscapeTemplateValue(const CString& value);

// Replaces a word throughout a text file, writing the result to a second file (or in place).
class CWordReplacer
{
public:
    CWordReplacer();
    virtual ~CWordReplacer() = default;

    // Returns the number of replacements; 0 when the word does not occur (nothing is written) or a step failed.
    virtual int ReplaceWords();
    // True when the character is one of the set's or the set's terminating zero.
    static bool IsSeparator(WCHAR ch, LPCWSTR set);

    CString m_strWord;
    CString m_strReplacement;
    CString m_strExtra; // no effect
    CString m_strInputFile;
    CString m_strOutputFile;
    bool m_bFound;
    bool m_bDone;
    bool m_bCaseSensitive;
    bool m_bWriteInPlace;          // the output goes over the input file
    bool m_bNormalizeWordLineEnds; // "\r\n" in the word becomes "\n"
    bool m_bNormalizeTextLineEnds; // "\n" in the replacement becomes "\r\n"
    bool m_bWholeWord;
};
