// The edit box's editing model and its UTF conversions, without a window.
#include "directui/edit_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "directui/edit_utf.h"

namespace exdui {
namespace {

// States are written as the text with '|' at the caret and '^' at the anchor
// (left out when there is no selection): u"ab^cd|" selects "cd".
EditBuffer Parse(std::u16string_view s) {
  EditBuffer edit;
  bool anchorSeen = false;
  for (char16_t u : s) {
    if (u == u'|') {
      edit.caret = edit.text.size();
    } else if (u == u'^') {
      edit.anchor = edit.text.size();
      anchorSeen = true;
    } else {
      edit.text += u;
    }
  }
  if (!anchorSeen) edit.anchor = edit.caret;
  return edit;
}

std::string Show(const EditBuffer& edit) {
  std::u16string s;
  for (size_t i = 0; i <= edit.text.size(); ++i) {
    if (edit.anchor != edit.caret && i == edit.anchor) s += u'^';
    if (i == edit.caret) s += u'|';
    if (i < edit.text.size()) s += edit.text[i];
  }
  return Utf16ToUtf8(s);
}

class FakeClipboard : public EditClipboard {
 public:
  std::u16string GetText() override { return content; }
  void SetText(std::u16string_view text) override {
    content = text;
    ++sets;
  }
  std::u16string content;
  int sets = 0;
};

enum class Op {
  Insert,
  Backspace,
  Delete,
  Left,
  ShiftLeft,
  Right,
  ShiftRight,
  WordLeft,
  ShiftWordLeft,
  WordRight,
  ShiftWordRight,
  Home,
  ShiftHome,
  End,
  ShiftEnd,
  SelectAll,
  Copy,
  Cut,
  Paste,
  Compose,
  Commit,
};

struct Step {
  Op op;
  std::u16string_view arg = {};
};

struct Row {
  const char* name;
  std::u16string_view before;
  std::vector<Step> steps;
  std::u16string_view after;
  std::u16string_view clipboardAfter = u"<unchanged>";
};

void PrintTo(const Row& row, std::ostream* os) {
  *os << row.name;
}

class EditSequence : public ::testing::TestWithParam<Row> {};

TEST_P(EditSequence, EndsInExpectedState) {
  const Row& row = GetParam();
  EditBuffer edit = Parse(row.before);
  FakeClipboard clipboard;
  clipboard.content = u"<unchanged>";
  for (const Step& step : row.steps) {
    switch (step.op) {
      case Op::Insert:
        EditInsert(edit, step.arg);
        break;
      case Op::Backspace:
        EditBackspace(edit);
        break;
      case Op::Delete:
        EditDelete(edit);
        break;
      case Op::Left:
        EditMoveLeft(edit, false);
        break;
      case Op::ShiftLeft:
        EditMoveLeft(edit, true);
        break;
      case Op::Right:
        EditMoveRight(edit, false);
        break;
      case Op::ShiftRight:
        EditMoveRight(edit, true);
        break;
      case Op::WordLeft:
        EditMoveWordLeft(edit, false);
        break;
      case Op::ShiftWordLeft:
        EditMoveWordLeft(edit, true);
        break;
      case Op::WordRight:
        EditMoveWordRight(edit, false);
        break;
      case Op::ShiftWordRight:
        EditMoveWordRight(edit, true);
        break;
      case Op::Home:
        EditMoveHome(edit, false);
        break;
      case Op::ShiftHome:
        EditMoveHome(edit, true);
        break;
      case Op::End:
        EditMoveEnd(edit, false);
        break;
      case Op::ShiftEnd:
        EditMoveEnd(edit, true);
        break;
      case Op::SelectAll:
        EditSelectAll(edit);
        break;
      case Op::Copy:
        EditCopy(edit, clipboard);
        break;
      case Op::Cut:
        EditCut(edit, clipboard);
        break;
      case Op::Paste:
        clipboard.content = step.arg;
        EditPaste(edit, clipboard);
        break;
      case Op::Compose:
        EditSetComposition(edit, step.arg, step.arg.size());
        break;
      case Op::Commit:
        EditCommit(edit, step.arg);
        break;
    }
  }
  EXPECT_EQ(Show(edit), Show(Parse(row.after)));
  EXPECT_EQ(Utf16ToUtf8(clipboard.content), Utf16ToUtf8(row.clipboardAfter));
  EXPECT_FALSE(EditIsComposing(edit));
}

// U+1F600 is the surrogate pair D83D DE00; caret steps must never split it.
const Row kRows[] = {
    {"TypeIntoEmpty", u"|", {{Op::Insert, u"h"}, {Op::Insert, u"i"}}, u"hi|"},
    {"TypeInMiddle", u"a|c", {{Op::Insert, u"b"}}, u"ab|c"},
    {"TypeReplacesSelection", u"a^bc|d", {{Op::Insert, u"X"}}, u"aX|d"},
    {"TypeReplacesBackwardSelection", u"a|bc^d", {{Op::Insert, u"X"}}, u"aX|d"},
    {"TypeSurrogateHalvesOneByOne",
     u"|",
     {{Op::Insert, u"\xD83D"}, {Op::Insert, u"\xDE00"}},
     u"😀|"},
    {"LineBreaksBecomeBlanks", u"|", {{Op::Insert, u"a\r\nb\rc\nd\te"}}, u"a b c d e|"},
    {"ControlCodesDropped", u"|", {{Op::Insert, u"a\x01\x1B\x7F\x85z"}}, u"az|"},
    {"EmptyInsertDeletesSelection", u"^ab|", {{Op::Insert, u""}}, u"|"},
    {"BackspaceAtStart", u"|ab", {{Op::Backspace}}, u"|ab"},
    {"BackspaceOneUnit", u"ab|c", {{Op::Backspace}}, u"a|c"},
    {"BackspaceWholePair", u"a😀|b", {{Op::Backspace}}, u"a|b"},
    {"BackspaceJoiningLoneHalves",
     u"\xD83D"
     u"a|\xDE00",
     {{Op::Backspace}},
     u"|😀"},
    {"DeleteJoiningLoneHalves",
     u"\xD83D|a"
     u"\xDE00",
     {{Op::Delete}},
     u"|😀"},
    {"BackspaceSelection", u"a^bc|d", {{Op::Backspace}}, u"a|d"},
    {"BackspaceCjk", u"你好|", {{Op::Backspace}}, u"你|"},
    {"DeleteAtEnd", u"ab|", {{Op::Delete}}, u"ab|"},
    {"DeleteWholePair", u"a|😀b", {{Op::Delete}}, u"a|b"},
    {"DeleteSelection", u"a|bc^d", {{Op::Delete}}, u"a|d"},
    {"LeftOverPair", u"a😀|", {{Op::Left}}, u"a|😀"},
    {"RightOverPair", u"a|😀b", {{Op::Right}}, u"a😀|b"},
    {"LeftAtStartStays", u"|ab", {{Op::Left}}, u"|ab"},
    {"RightAtEndStays", u"ab|", {{Op::Right}}, u"ab|"},
    {"LeftCollapsesSelectionToStart", u"a^bc|d", {{Op::Left}}, u"a|bcd"},
    {"RightCollapsesSelectionToEnd", u"a|bc^d", {{Op::Right}}, u"abc|d"},
    {"ShiftRightSelects", u"|abc", {{Op::ShiftRight}, {Op::ShiftRight}}, u"^ab|c"},
    {"ShiftLeftOverPair", u"a😀|", {{Op::ShiftLeft}}, u"a|😀^"},
    {"ShiftBackAcrossAnchor",
     u"a|bc",
     {{Op::ShiftRight}, {Op::ShiftLeft}, {Op::ShiftLeft}},
     u"|a^bc"},
    {"WordLeftFromEnd", u"one two|", {{Op::WordLeft}}, u"one |two"},
    {"WordLeftSkipsBlanks", u"one two  |", {{Op::WordLeft}}, u"one |two  "},
    {"WordLeftTwice", u"one two|", {{Op::WordLeft}, {Op::WordLeft}}, u"|one two"},
    {"WordLeftAtStart", u"|one", {{Op::WordLeft}}, u"|one"},
    {"WordRightPastBlanks", u"|one  two", {{Op::WordRight}}, u"one  |two"},
    {"WordRightFromBlank", u"one| two", {{Op::WordRight}}, u"one |two"},
    {"WordRightStopsAtPunctuation", u"|ab,cd", {{Op::WordRight}}, u"ab|,cd"},
    {"WordRightOverPairs", u"|x😀y z", {{Op::WordRight}}, u"x😀y |z"},
    {"ShiftWordLeftSelects", u"one two|", {{Op::ShiftWordLeft}}, u"one |two^"},
    {"ShiftWordRightSelects", u"|one two", {{Op::ShiftWordRight}}, u"^one |two"},
    {"Home", u"ab|c", {{Op::Home}}, u"|abc"},
    {"End", u"a|bc", {{Op::End}}, u"abc|"},
    {"ShiftHome", u"ab|c", {{Op::ShiftHome}}, u"|ab^c"},
    {"ShiftEnd", u"a|bc", {{Op::ShiftEnd}}, u"a^bc|"},
    {"SelectAllThenBackspaceClears", u"he|llo", {{Op::SelectAll}, {Op::Backspace}}, u"|"},
    {"SelectAllEmpty", u"|", {{Op::SelectAll}, {Op::Backspace}}, u"|"},
    {"CopySelection", u"a^bc|d", {{Op::Copy}}, u"a^bc|d", u"bc"},
    {"CopyWithoutSelection", u"ab|c", {{Op::Copy}}, u"ab|c"},
    {"CutSelection", u"a|bc^d", {{Op::Cut}}, u"a|d", u"bc"},
    {"CutWithoutSelection", u"ab|c", {{Op::Cut}}, u"ab|c"},
    {"PasteAtCaret", u"a|d", {{Op::Paste, u"bc"}}, u"abc|d", u"bc"},
    {"PasteReplacesSelection", u"^ab|", {{Op::Paste, u"你好"}}, u"你好|", u"你好"},
    {"PasteMultiLine", u"|", {{Op::Paste, u"one\r\ntwo\n"}}, u"one two |", u"one\r\ntwo\n"},
    {"PasteEmptyKeepsSelection", u"^ab|", {{Op::Paste, u""}}, u"^ab|", u""},
    {"CutThenPaste", u"^ab|c", {{Op::Cut}, {Op::End}, {Op::Paste, u"ab"}}, u"cab|", u"ab"},
    {"ComposeThenCommit", u"a|b", {{Op::Compose, u"ni"}, {Op::Commit, u"你"}}, u"a你|b"},
    {"CommitReplacesSelection", u"^xy|", {{Op::Compose, u"h"}, {Op::Commit, u"好"}}, u"好|"},
    {"ComposeCancelledKeepsText", u"^xy|", {{Op::Compose, u"h"}, {Op::Compose, u""}}, u"^xy|"},
};

INSTANTIATE_TEST_SUITE_P(Edit, EditSequence, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EditComposition, ShownInPlaceOfSelectionAndNotPartOfText) {
  EditBuffer edit = Parse(u"a^XY|b");
  EditSetComposition(edit, u"nihao", 2);
  EXPECT_EQ(Utf16ToUtf8(edit.text), "aXYb");
  EXPECT_EQ(EditGetTextLength(edit), 4);
  EXPECT_EQ(Utf16ToUtf8(EditDisplayText(edit)), "anihaob");
  EXPECT_EQ(EditDisplayCaret(edit), 3u);  // after "ni"
}

TEST(EditComposition, CursorClampedAndKeptOutOfPairs) {
  EditBuffer edit;
  EditSetComposition(edit, u"😀", 1);
  EXPECT_EQ(edit.preeditCursor, 0u);
  EditSetComposition(edit, u"ab", 99);
  EXPECT_EQ(edit.preeditCursor, 2u);
}

TEST(EditSelectWord, SelectsRunOfSameClass) {
  struct {
    std::u16string_view text;
    size_t at;
    std::u16string_view after;
  } rows[] = {
      {u"hello world", 2, u"^hello| world"},  {u"hello world", 5, u"hello^ |world"},
      {u"hello world", 11, u"hello ^world|"}, {u"a,,b", 1, u"a^,,|b"},
      {u"你好 世界", 0, u"^你好| 世界"},      {u"x😀y z", 1, u"^x😀y| z"},
  };
  for (const auto& row : rows) {
    EditBuffer edit = Parse(row.text);
    EditSelectWordAt(edit, row.at);
    EXPECT_EQ(Show(edit), Show(Parse(row.after))) << Utf16ToUtf8(row.text) << " at " << row.at;
  }
  EditBuffer empty;
  EditSelectWordAt(empty, 3);
  EXPECT_EQ(Show(empty), "|");
}

TEST(EditMoveTo, SnapsOutOfPairAndClamps) {
  EditBuffer edit = Parse(u"a😀b|");
  EditMoveTo(edit, 2, false);
  EXPECT_EQ(edit.caret, 1u);
  EditMoveTo(edit, 100, true);
  EXPECT_EQ(edit.caret, 4u);
  EXPECT_EQ(edit.anchor, 1u);
}

TEST(EditLimit, InsertStopsAtMaximumWithoutSplittingPair) {
  EditBuffer edit;
  EditSetText(edit, std::u16string(kEditMaxLength - 1, u'x'));
  EXPECT_FALSE(EditInsert(edit, u"😀"));  // does not fit whole: nothing inserted...
  EXPECT_EQ(edit.text.size(), kEditMaxLength - 1);
  EXPECT_TRUE(EditInsert(edit, u"ab"));  // ...but a single unit still does
  EXPECT_EQ(edit.text.size(), kEditMaxLength);
  EXPECT_FALSE(EditInsert(edit, u"c"));
  EditSetText(edit, std::u16string(kEditMaxLength + 10, u'y'));
  EXPECT_EQ(edit.text.size(), kEditMaxLength);
}

// Ex_ObjGetText: at most bytes / 2 - 1 units and a NUL, never past `bytes`.
TEST(EditGetText, RespectsByteLimit) {
  struct {
    std::u16string_view text;
    int32_t bytes;
    int32_t copied;
    std::u16string_view written;  // units expected in the buffer, NUL included
  } rows[] = {
      {u"hello", 12, 5, std::u16string_view(u"hello\0", 6)},
      {u"hello", 100, 5, std::u16string_view(u"hello\0", 6)},
      {u"hello", 6, 2, std::u16string_view(u"he\0", 3)},
      {u"hello", 7, 2, std::u16string_view(u"he\0", 3)},  // odd byte left untouched
      {u"hello", 2, 0, std::u16string_view(u"\0", 1)},
      {u"hello", 1, 0, u""},
      {u"hello", 0, 0, u""},
      {u"hello", -4, 0, u""},
      {u"", 10, 0, std::u16string_view(u"\0", 1)},
      {u"a😀", 6, 1, std::u16string_view(u"a\0", 2)},  // the pair does not fit whole
      {u"a😀", 8, 3, std::u16string_view(u"a😀\0", 4)},
  };
  for (const auto& row : rows) {
    EditBuffer edit;
    EditSetText(edit, row.text);
    std::vector<unsigned char> buffer(64, 0xAB);
    // Start at an odd address: the caller's buffer need not be aligned.
    unsigned char* start = buffer.data() + 1;
    EXPECT_EQ(EditGetText(edit, start, row.bytes), row.copied)
        << Utf16ToUtf8(row.text) << " into " << row.bytes;
    std::u16string got(row.written.size(), u'\0');
    std::memcpy(got.data(), start, got.size() * 2);
    EXPECT_EQ(got, row.written) << Utf16ToUtf8(row.text) << " into " << row.bytes;
    for (size_t i = row.written.size() * 2; i < buffer.size() - 1; ++i)
      ASSERT_EQ(start[i], 0xAB) << "byte " << i << " written for " << row.bytes;
    EXPECT_EQ(buffer[0], 0xAB);
  }
  EditBuffer edit;
  EditSetText(edit, u"x");
  EXPECT_EQ(EditGetText(edit, nullptr, 100), 0);
}

TEST(EditUtf, RoundTripsValidText) {
  const char* samples[] = {"", "hi", "你好", "a😀b", "\xC2\xA0\xE2\x80\xA8", "\xF4\x8F\xBF\xBF"};
  for (const char* s : samples) EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), s);
  EXPECT_EQ(Utf8ToUtf16("a😀"), std::u16string(u"a\xD83D\xDE00"));
}

TEST(EditUtf, MalformedBecomesReplacement) {
  struct {
    std::string_view in;
    std::u16string_view out;
  } rows[] = {
      {"\x80", u"\xFFFD"},
      {"a\xE4\xBD", u"a\xFFFD"},
      {"\xE4\xBDz", u"\xFFFDz"},
      {"\xC0\xAF", u"\xFFFD\xFFFD"},    // C0 is never a lead byte
      {"\xE0\x80\xAF", u"\xFFFD"},      // overlong
      {"\xED\xA0\x80", u"\xFFFD"},      // encoded surrogate
      {"\xF4\x90\x80\x80", u"\xFFFD"},  // above U+10FFFF
      {"\xF8\x88\x80\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD"},
      {std::string_view("a\0b", 3), std::u16string_view(u"a\0b", 3)},
  };
  for (const auto& row : rows) EXPECT_EQ(Utf8ToUtf16(row.in), row.out);
  EXPECT_EQ(Utf16ToUtf8(u"\xD83D"), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(u"\xDE00x\xD83D"), "\xEF\xBF\xBDx\xEF\xBF\xBD");
}

TEST(EditUtf, OffsetsMapBothWays) {
  std::u16string text = u"a你😀b";  // UTF-8 offsets 0, 1, 4, 8; units 0, 1, 2, 4
  const size_t units[] = {0, 1, 2, 4, 5};
  const size_t offsets[] = {0, 1, 4, 8, 9};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(Utf8OffsetOfUnit(text, units[i]), offsets[i]);
    EXPECT_EQ(UnitOfUtf8Offset(text, offsets[i]), units[i]);
  }
  EXPECT_EQ(UnitOfUtf8Offset(text, 2), 1u);  // inside 你
  EXPECT_EQ(UnitOfUtf8Offset(text, 99), 5u);
  EXPECT_EQ(Utf8OffsetOfUnit(text, 99), 9u);
  EXPECT_EQ(UnitsOfCodePoints(text, 3), 4u);
  EXPECT_EQ(UnitsOfCodePoints(text, 99), 5u);
}

// Random edits of text full of surrogates, halves and line breaks: the caret,
// anchor and composition cursor stay in range and never split a pair.
TEST(EditInvariants, HoldUnderRandomEditing) {
  const std::u16string_view pieces[] = {u"a",    u"😀",    u"\xD83D", u"\xDE00", u"\r\n",
                                        u"你好", u"\x01", u" ",      u"x😀y"};
  FakeClipboard clipboard;
  EditBuffer edit;
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (int step = 0; step < 20000; ++step) {
    std::u16string_view piece = pieces[next(std::size(pieces))];
    switch (next(14)) {
      case 0:
        EditInsert(edit, piece);
        break;
      case 1:
        EditBackspace(edit);
        break;
      case 2:
        EditDelete(edit);
        break;
      case 3:
        EditMoveLeft(edit, next(2));
        break;
      case 4:
        EditMoveRight(edit, next(2));
        break;
      case 5:
        EditMoveWordLeft(edit, next(2));
        break;
      case 6:
        EditMoveWordRight(edit, next(2));
        break;
      case 7:
        EditMoveTo(edit, next(40), next(2));
        break;
      case 8:
        EditSelectWordAt(edit, next(40));
        break;
      case 9:
        EditCut(edit, clipboard);
        break;
      case 10:
        EditPaste(edit, clipboard);
        break;
      case 11:
        EditSetComposition(edit, piece, next(4));
        break;
      case 12:
        EditCommit(edit, piece);
        break;
      case 13:
        if (edit.text.size() > 200) EditSetText(edit, u"");
        break;
    }
    const std::u16string& t = edit.text;
    for (size_t at : {edit.caret, edit.anchor}) {
      ASSERT_LE(at, t.size()) << "step " << step;
      bool splitsPair =
          at > 0 && at < t.size() && IsHighSurrogate(t[at - 1]) && IsLowSurrogate(t[at]);
      ASSERT_FALSE(splitsPair) << "step " << step;
    }
    ASSERT_LE(edit.preeditCursor, edit.preedit.size());
    for (char16_t u : t) {
      ASSERT_TRUE(u >= 0x20 && (u < 0x7F || u > 0x9F)) << "step " << step;
    }
    ASSERT_LE(EditDisplayCaret(edit), EditDisplayText(edit).size());
  }
}

}  // namespace
}  // namespace exdui
