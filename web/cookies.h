// Cookie texts: name=value pairs separated by exactly "; ".
#pragma once

#include "text/text.h"

// Merges the cookies a response set (received) into those that were sent:
// a name the server set takes its new value, a pair ending in "=deleted"
// removes the name, the rest of sent stays. Both variables are written:
// sent ends up holding the result, received its trimmed form.
Text MergeCookies(Text& sent, Text& received);

// The trimmed text before the first "=", or the whole pair trimmed.
Text CookieName(const Text& pair);

// True when some pair of the array has the name (exact comparison).
bool HasCookieName(const TextArray& pairs, const Text& name);

// The items of the text without repeats, first occurrences in place, joined
// by the separator. byPieces: the items are the pieces between separators;
// otherwise the characters of the text (see SplitCharacters).
Text RemoveDuplicates(const Text& text, const Text& separator, bool byPieces);

// Fills the array with the characters of the text: a byte above 0x80 with
// the byte after it, CR LF as one, any other byte alone. Returns their number.
int SplitCharacters(const Text& text, TextArray& characters);

// The 1-based index of the first element equal to the text, or -1.
int FindInArray(const TextArray& array, const Text& text);
