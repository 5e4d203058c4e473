// The usage log "reader.log" in the data folder and its upload to the statistics service.
//
// The log is narrow text with CRLF line ends: a header "b=<BrandId>&r=<GUID>&c=<Country>" without a line end
// of its own, then one entry per line, each written as "\n&t<N>=<kind>&a<N>=<action>&d<N>=<date>&i<N>=<text>".
#pragma once

#include <windows.h>

#include <string>

#include "framework/core/AfxString.h"

// Results of UploadUsageStats.
enum UsageUploadResult
{
    USAGE_UPLOAD_REFUSED = 0,    // not accepted, or a network failure
    USAGE_UPLOAD_ACCEPTED = 1,   // the service answered "1", or there was no log to send
    USAGE_UPLOAD_NO_SERVICE = 2, // no statistics address: nothing was sent
    USAGE_UPLOAD_BAD_URL = 99,   // the statistics URL does not crack
};

// Appends one entry dated today (UTC); FALSE when the log could not be opened or written (nothing is written
// then and the entry counter stays as it was).
BOOL LogUsage(int kind, int action, LPCWSTR text);
// The same with a given UTC date.
BOOL LogUsageOn(int kind, int action, LPCWSTR text, const SYSTEMTIME& utcDate);

// The text in the ANSI code page, form-encoded: ASCII letters and digits stay, other white space than line
// ends becomes "+", every other byte "%" and two upper-case hexadecimal digits.
CStringA UrlEncodeText(LPCWSTR text);

// The statistics service: "URLs"\"StatServer", by default the build's address; empty when there is none.
CString GetStatServerUrl();

// Sends the log's lines, joined without their line ends, as one form-encoded POST to the statistics service.
// Without a service nothing is sent.
int UploadUsageStats();

// The feed worker's whole upload step: uploads, then deletes the log only when the service accepted it, and
// otherwise (a refusal, a network failure, a bad address or none) keeps it and recounts the entry counter from it.
// Returns UploadUsageStats' result.
int SendUsageLog();

// What the upload step does with the log after an upload that sent the given bytes: an accepted upload removes
// what was sent (entries logged meanwhile stay, renumbered under the header); any other result keeps the log.
// Sets the entry counter to what the log then holds.
void FinishUsageUpload(int result, const std::string& sent);

// The number of entries in the log (its lines less the header); 0 when there is no log.
int CountUsageEntries();

// The log's path: the data folder + "\reader.log".
CString GetUsageLogPath();
