// The program's own feed files: the helpers around the writers of the subscription lists and channel caches
// (the writers themselves are members of CFeedChannel).
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/core/SafeFile.h"

// The text with &, ", <, >, (c), (R), ', >> and << replaced by their entities. The ampersand goes first, so an
// entity already in the text is escaped once more ("&lt;" becomes "&amp;lt;").
CString EscapeXmlText(LPCWSTR text);

// How a writer tells the user about a COM error raised inside it. The default shows an ownerless message box
// with an error icon; tests put their own in its place so that no box is ever left open.
using FeedStoreErrorReporter = void (*)(LPCWSTR text, LPCWSTR caption);
// Installs a reporter (null restores the message box) and returns the one it replaces.
FeedStoreErrorReporter SetFeedStoreErrorReporter(FeedStoreErrorReporter reporter);

// The caption of a writer's error box: "IDispatch error #<n>" for a dispatch error code, otherwise the system's
// message for the code, or "Unknown error 0x<code>" when the system has none.
CString FeedStoreErrorCaption(HRESULT hr);

// A writer calls the hook before each step of building and saving a document, with the step's name: the name
// of the element made, "@" and the name of an attribute, "#text" for an indentation, "#pi", "#fragment",
// "#document", "#save", "#write" before each block written to the disk, "#flush" and "#rename". A failure code makes
// the step fail; a thrown _com_error stands for a failed allocation. Only tests set one: the writers' recovery from a
// failed step cannot be reached otherwise.
using FeedStoreStepHook = HRESULT (*)(LPCWSTR step);
void SetFeedStoreStepHook(FeedStoreStepHook hook);
