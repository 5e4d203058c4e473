// The parse budget: what the XML library would spend on a document, judged before it is handed over. The library
// expands internal entities each time they are used, appending each copy to the text it builds, and compares an
// element's attributes pairwise, so a small file can keep it busy for minutes on the window's thread. Real feeds
// come nowhere near the limits.
#pragma once

#include <cstddef>

namespace XmlParseBudget {

// Whether the library may be handed the text, exactly as it will read it: bytes of an encoding in which markup is
// ASCII (UTF-8 and the code pages), or UTF-16. False past a limit of entity text, entity references, attributes on
// an element or in the document, and for what the budget cannot follow: a parameter entity with a value of its own,
// a reference built out of character references ("&#38;name;"), attribute defaults that refer to entities.
bool Allows(const char* text, size_t size);
bool Allows(const wchar_t* text, size_t size);

} // namespace XmlParseBudget
