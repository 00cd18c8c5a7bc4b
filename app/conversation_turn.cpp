#include "app/conversation_turn.h"

#include "app/carried_files.h"
#include "app/chatbot_host.h"
#include "app/main_window.h"
#include "transcript/transcript.h"
#include "ui/exdui.h"
#include "web/http_request.h"

namespace {

// "清屏", "自己" in code page 936.
constexpr const char* kClearCommand = "\xC7\xE5\xC6\xC1";
constexpr const char* kOwnName = "\xD7\xD4\xBC\xBA";
constexpr const char* kBotName = "Tovi";
constexpr const char* kAnswerStart = "\"text\": \"";
constexpr const char* kAnswerEnd = "\"";
// Texts longer than this many UTF-16 units would overflow the buffer size.
constexpr int32_t kMaxInputUnits = (0x7FFFFFFF - 2) / 2;

const Bytes& AvatarA() {
  static const Bytes picture(kAvatarUserJpeg, kAvatarUserJpegLength);
  return picture;
}

const Bytes& AvatarB() {
  static const Bytes picture(kAvatarBotJpeg, kAvatarBotJpegLength);
  return picture;
}

// The input box's text in code page 936, read as UTF-16 into a zero-filled
// buffer with room for a terminating zero character.
Text ReadInputSentence() {
  HEXHANDLE inputBox = Ex_ObjGetFromID(gMainWindow.directUi, kInputBoxId);
  int32_t length = Ex_ObjGetTextLength(inputBox);
  if (length < 0) length = 0;
  if (length > kMaxInputUnits) length = kMaxInputUnits;
  Bytes buffer = BlankBytes(length * 2 + 2);
  inputBox = Ex_ObjGetFromID(gMainWindow.directUi, kInputBoxId);
  Ex_ObjGetText(inputBox, BytesData(buffer), BytesLength(buffer));
  // The last character stays zero even when the library fills the whole
  // buffer, so the conversion below always finds the end of the text.
  uint8_t* data = BytesData(buffer);
  data[BytesLength(buffer) - 1] = 0;
  data[BytesLength(buffer) - 2] = 0;
  return WideToAnsi(buffer);
}

}  // namespace

Text RequestUrlBase() {
  return ConcatText(Text("https://"), ChatbotApiHost(), "/bot?appid=tovi&userid=user&spoken=");
}

void ConversationTurn() {
  const Text sentence = ReadInputSentence();
  const Text encoded = PercentEncode(sentence, false, true);
  const Text url = ConcatText(RequestUrlBase(), encoded);
  const Bytes body = HttpRequest(url);
  const Text reply = PercentDecode(BytesToText(body), true);
  const Text answer = TextBetween(reply, kAnswerStart, kAnswerEnd);

  // The sentence went to the chatbot first; only now is the clear command seen.
  if (CompareText(sentence, kClearCommand) == 0) {
    ClearTranscript(gMainWindow.transcript);
  } else {
    AddEntry(gMainWindow.transcript, 0,
             MakeEntry(KindOwn, AvatarA(), kOwnName, sentence, gMainWindow.chatFont), 0, 1);
  }
  if (!answer.empty()) {
    AddEntry(gMainWindow.transcript, 0,
             MakeEntry(KindOther, AvatarB(), kBotName, answer, gMainWindow.chatFont), 0, 1);
  }
}
