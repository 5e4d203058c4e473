// Reading the files the import dialog (176) offers: OPML files and the program's own exported channel lists.
// Whatever comes from such a file is foreign: only entries that may safely join the user's list are kept.
#pragma once

#include <windows.h>

#include "feeds/FeedChannel.h"

struct IXMLDOMNode;

// Reads the subscribed channels of an OPML file ("opml" with "body", any "outline" below it with "xmlUrl")
// into a new channel owned by the caller. Null when the file cannot be read or has no "opml" or "body".
CFeedChannel* LoadOpml(LPCWSTR path);

// Adds every "outline" at or below the node with a usable "xmlUrl" to the channel as a subscribed feed,
// children before their parent. Names are matched exactly. Works without recursion, so nesting of any depth
// is read.
void ReadOutlines(CFeedChannel* pChannel, IXMLDOMNode* pNode);

// Reads an exported channel list (the custom list's format) into a new channel owned by the caller, keeping
// only the entries that may be imported. Null when the file cannot be read as a list.
CFeedChannel* LoadExportedList(LPCWSTR path);

// Removes (and deletes) the entries that must not be imported: a subscribed feed without an HTTP or HTTPS
// address, any entry whose address is not HTTP or HTTPS. File names that would lead out of the data folder
// are dropped (a new one is given when the entry joins the list). Returns the number of entries left.
int RemoveUnsafeImports(CFeedChannel* pChannel);

// Whether a feed address may be subscribed to: an absolute HTTP or HTTPS URL with a host.
bool IsImportableFeedLink(LPCWSTR link);
