// The page pipeline of the news views: a channel's cache file transformed with feeds.xsl into a page file in the
// platform's temporary folder, which the HTML pane then shows.
#pragma once

#include "framework/core/AfxString.h"

// Loads the channel document and the style sheet through MSXML, transforms one with the other and writes the
// output (an 8-bit page, up to its first zero byte) to a new "tm_" file in the temporary folder. Returns the
// file's path, or empty on failure; errorText then holds the text to show the user (empty when the transform or
// the writing failed, which the user is not told about).
CString RenderChannelPage(const CString& channelFile, const CString& styleSheet, CString& errorText);
