#include "web/cookies.h"

namespace {

const Text kPairSeparator = "; ";

// Trims the text and turns a final ";" into "; ", so that splitting at
// "; " drops it.
Text PrepareCookieText(const Text& text) {
  Text trimmed = TrimText(text);
  if (TextRight(trimmed, 1) == Text(";")) trimmed = ConcatText(trimmed, " ");
  return trimmed;
}

bool IsDeleted(const Text& pair) {
  return TextRight(pair, 8) == Text("=deleted");
}

}  // namespace

Text MergeCookies(Text& sent, Text& received) {
  sent = PrepareCookieText(sent);
  received = PrepareCookieText(received);
  TextArray oldPairs = SplitText(sent, kPairSeparator);
  TextArray pairs = SplitText(received, kPairSeparator);
  for (const Text& pair : oldPairs.items()) {
    if (!HasCookieName(pairs, CookieName(pair))) ArrayAppend(pairs, pair);
  }
  std::string merged;
  for (const Text& pair : pairs.items()) {
    if (IsDeleted(pair)) continue;
    merged += pair.str();
    merged += kPairSeparator.str();
  }
  Text joined(merged);
  sent = RemoveDuplicates(TextLeft(joined, TextLength(joined) - 2), kPairSeparator, true);
  return sent;
}

Text CookieName(const Text& pair) {
  int equals = FindText(pair, "=");
  return TrimText(equals == -1 ? pair : TextLeft(pair, equals - 1));
}

bool HasCookieName(const TextArray& pairs, const Text& name) {
  for (const Text& pair : pairs.items()) {
    if (CookieName(pair) == name) return true;
  }
  return false;
}

Text RemoveDuplicates(const Text& text, const Text& separator, bool byPieces) {
  TextArray items;
  if (byPieces) {
    items = SplitText(text, separator);
  } else {
    SplitCharacters(text, items);
  }
  TextArray seen;
  std::string output;
  for (const Text& item : items.items()) {
    if (FindInArray(seen, item) != -1) continue;
    ArrayAppend(seen, item);
    output += item.str();
    output += separator.str();
  }
  Text joined(output);
  return TextLeft(joined, TextLength(joined) - TextLength(separator));
}

int SplitCharacters(const Text& text, TextArray& characters) {
  characters.items().clear();
  Bytes bytes = TextToBytes(text);
  int n = BytesLength(bytes);
  int i = 1;
  while (i <= n) {
    int step = 1;
    if (i < n) {
      uint8_t byte = ByteAt(bytes, i);
      if (byte > 0x80) step = 2;
      if (byte == 13 && ByteAt(bytes, i + 1) == 10) step = 2;
    }
    ArrayAppend(characters, BytesToText(BytesMid(bytes, i, step)));
    i += step;
  }
  return ArraySize(characters);
}

int FindInArray(const TextArray& array, const Text& text) {
  for (int i = 1; i <= ArraySize(array); ++i) {
    if (CompareText(ArrayElement(array, i), text) == 0) return i;
  }
  return -1;
}
