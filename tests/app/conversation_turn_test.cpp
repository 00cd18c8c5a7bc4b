// The conversation turn end to end inside the process: the real main window,
// transcript and HTTP request against the recording stand-in of the library
// and a local HTTPS server that plays the chatbot.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "app/conversation_turn.h"
#include "app/main_window.h"
#include "tests/app/app_fixture.h"
#include "tests/app/local_https_server.h"
#include "tests/app/test_chatbot_host.h"

namespace {

const std::string kPathBase = "/bot?appid=tovi&userid=user&spoken=";

std::string Reply(const std::string& text) {
  return "{\"status\": \"ok\", \"data\": {\"type\": 1, \"text\": \"" + text + "\"}}";
}

// The chatbot: a reply per sentence, and how many entries the transcript
// held when each request arrived (the UI thread waits on the request, so the
// transcript cannot change meanwhile).
class ConversationTurnTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    ASSERT_TRUE(server_.Start([this](const ReceivedRequest& request) {
      entriesAtRequest_.push_back(static_cast<int>(Entries().size()));
      std::string spoken = request.target.substr(std::min(request.target.size(), kPathBase.size()));
      if (spoken == "%68%69") return ScriptedReply{200, Reply("hello")};
      if (spoken == "%E4%BD%A0%E5%A5%BD") return ScriptedReply{200, Reply("你好呀")};
      if (spoken == "%71%75%6F%74%65") return ScriptedReply{200, Reply("say \\\"x\\\" ok")};
      if (spoken == "%70%63%74") return ScriptedReply{200, Reply("50%25 done")};
      if (spoken == "%65%73%63") return ScriptedReply{200, Reply("a\\nb \\u4f60")};
      if (spoken == "%6E%6F%6E%65") return ScriptedReply{200, "{\"text\":\"no blank\"}"};
      if (spoken == "%65%72%72") return ScriptedReply{500, "<html>internal error</html>"};
      if (spoken == "%E6%B8%85%E5%B1%8F") return ScriptedReply{200, Reply(clearAnswer_)};
      return ScriptedReply{200, Reply("echo")};
    }));
    gTestChatbotHost = "127.0.0.1:" + std::to_string(server_.Port());
    OpenWindow();
  }
  void TearDown() override {
    server_.Stop();
    MainWindowFixture::TearDown();
  }
  std::vector<std::string> Targets() const {
    std::vector<std::string> targets;
    for (const ReceivedRequest& r : server_.Requests()) targets.push_back(r.target);
    return targets;
  }

  LocalHttpsServer server_;
  std::vector<int> entriesAtRequest_;
  std::string clearAnswer_ = "cleared";
};

TEST_F(ConversationTurnTest, RequestsTheSentenceAsUtf8PercentEscapes) {
  TypeAndEnter("hi");
  TypeAndEnter("你好");
  EXPECT_EQ(Targets(),
            std::vector<std::string>({kPathBase + "%68%69", kPathBase + "%E4%BD%A0%E5%A5%BD"}));
  EXPECT_EQ(Entries(),
            std::vector<ShownEntry>(
                {{KindOwn, "hi"}, {KindOther, "hello"}, {KindOwn, "你好"}, {KindOther, "你好呀"}}));
}

TEST_F(ConversationTurnTest, SendsAGetWithTheBrowserHeadersAndTheUrlAsReferer) {
  TypeAndEnter("hi");
  std::vector<ReceivedRequest> requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  // The server library percent-decodes header values before handing them
  // over, so the Referer arrives here as the URL with its escapes undone.
  EXPECT_EQ(requests[0].Header("Referer"), "https://" + gTestChatbotHost.str() + kPathBase + "hi");
  EXPECT_EQ(requests[0].Header("Accept"), "*/*");
  EXPECT_EQ(requests[0].Header("Accept-Language"), "zh-cn");
  EXPECT_EQ(RequestUrlBase().str(), "https://" + gTestChatbotHost.str() + kPathBase);
}

TEST_F(ConversationTurnTest, TheUserBubbleAppearsOnlyAfterTheRequest) {
  TypeAndEnter("hi");
  TypeAndEnter("hi");
  // Enter twice without editing: the same sentence twice, each time the
  // request made before either bubble of that turn.
  EXPECT_EQ(entriesAtRequest_, std::vector<int>({0, 2}));
  EXPECT_EQ(Entries().size(), 4u);
}

TEST_F(ConversationTurnTest, ClearCommandIsSentThenEmptiesBeforeTheAnswer) {
  TypeAndEnter("hi");
  TypeAndEnter("清屏");
  EXPECT_EQ(Targets().back(), kPathBase + "%E6%B8%85%E5%B1%8F");
  EXPECT_EQ(entriesAtRequest_.back(), 2) << "the transcript is cleared after the request";
  EXPECT_EQ(Entries(), std::vector<ShownEntry>({{KindOther, "cleared"}}));
}

TEST_F(ConversationTurnTest, ClearCommandWithoutAnAnswerLeavesNothing) {
  clearAnswer_ = "";
  TypeAndEnter("hi");
  TypeAndEnter("清屏");
  EXPECT_EQ(server_.Requests().size(), 2u);
  EXPECT_TRUE(Entries().empty());
}

TEST_F(ConversationTurnTest, ClearCommandWithBlanksOrTwiceIsAnOrdinarySentence) {
  for (const char* sentence : {" 清屏", "清屏 ", "清屏清屏"}) {
    TypeAndEnter(sentence);
  }
  EXPECT_EQ(Entries(), std::vector<ShownEntry>({{KindOwn, " 清屏"},
                                                {KindOther, "echo"},
                                                {KindOwn, "清屏 "},
                                                {KindOther, "echo"},
                                                {KindOwn, "清屏清屏"},
                                                {KindOther, "echo"}}));
}

TEST_F(ConversationTurnTest, AnEmptyInputIsSentAndShownEmpty) {
  TypeAndEnter("");
  EXPECT_EQ(Targets(), std::vector<std::string>({kPathBase}));
  EXPECT_EQ(Entries(), std::vector<ShownEntry>({{KindOwn, ""}, {KindOther, "echo"}}));
}

struct AnswerCase {
  const char* sentence;
  const char* shown;  // the bot's bubble; empty for none
};

void PrintTo(const AnswerCase& c, std::ostream* out) { *out << c.sentence; }

class AnswerTest : public ConversationTurnTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(AnswerTest, TakesTheAnswerFromTheReply) {
  TypeAndEnter(GetParam().sentence);
  std::vector<ShownEntry> expected{{KindOwn, GetParam().sentence}};
  if (GetParam().shown[0] != '\0') expected.push_back({KindOther, GetParam().shown});
  EXPECT_EQ(Entries(), expected);
}

INSTANTIATE_TEST_SUITE_P(Replies, AnswerTest,
                         ::testing::Values(
                             // An escaped quote ends the answer, the backslash its last character.
                             AnswerCase{"quote", "say \\"},
                             // %25 arrives as a literal percent sign.
                             AnswerCase{"pct", "50% done"},
                             // Other JSON escapes are shown as they stand.
                             AnswerCase{"esc", "a\\nb \\u4f60"},
                             // Without the blank after the colon there is no answer.
                             AnswerCase{"none", ""},
                             // An error page carries no answer: only the user's bubble.
                             AnswerCase{"err", ""}));

TEST_F(ConversationTurnTest, ACharacterCodePage936LacksBecomesAQuestionMark) {
  TypeAndEnter("a\xF0\x9F\x98\x80");  // "a" and an emoji
  EXPECT_EQ(Targets(), std::vector<std::string>({kPathBase + "%61%3F"}));
  ASSERT_FALSE(Entries().empty());
  EXPECT_EQ(Entries()[0], (ShownEntry{KindOwn, "a?"}));
}

TEST_F(ConversationTurnTest, TheInputBoxKeepsItsText) {
  TypeAndEnter("hi");
  EXPECT_EQ(exdui_recorder::Object(gMainWindow.inputBox)->text, u"hi");
}

TEST_F(ConversationTurnTest, ReadsTheInputBoxByIdTwiceAndItsWholeBuffer) {
  exdui_recorder::SetObjectText(gMainWindow.inputBox, "hi");
  exdui_recorder::ClearCalls();
  exdui_recorder::Deliver(gMainWindow.inputBox, EXM_CHAR, 13, 0);
  const std::string dui = std::to_string(gMainWindow.directUi);
  const std::string box = std::to_string(gMainWindow.inputBox);
  std::vector<std::string> reads =
      exdui_recorder::LinesOf({"Ex_ObjGetFromID", "Ex_ObjGetTextLength", "Ex_ObjGetText"});
  ASSERT_GE(reads.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(reads.begin(), reads.begin() + 4),
            std::vector<std::string>(
                {"Ex_ObjGetFromID(" + dui + ", 1000)", "Ex_ObjGetTextLength(" + box + ")",
                 "Ex_ObjGetFromID(" + dui + ", 1000)", "Ex_ObjGetText(" + box + ", set, 6)"}));
}

TEST_F(ConversationTurnTest, AnUnreachableChatbotGivesOnlyTheUserBubble) {
  server_.Stop();
  TypeAndEnter("hi");
  EXPECT_EQ(Entries(), std::vector<ShownEntry>({{KindOwn, "hi"}}));
}

// The handlers test their objects for 0: a transcript that could not be
// made leaves the turn asking and nothing shown, never a crash.
class FailedControlsTest : public MainWindowFixture {};

TEST_F(FailedControlsTest, ATurnWithoutATranscriptStillAsksAndShowsNothing) {
  LocalHttpsServer server;
  ASSERT_TRUE(server.Start([](const ReceivedRequest&) { return ScriptedReply{200, Reply("x")}; }));
  gTestChatbotHost = "127.0.0.1:" + std::to_string(server.Port());
  // The transcript's frame is the first object CreateMainControls makes.
  exdui_recorder::QueueResult("Ex_ObjCreateEx", 0);
  exdui_recorder::SetMessageLoop([] {});
  RunMainWindow();
  ASSERT_EQ(gMainWindow.transcript, 0);
  ASSERT_NE(gMainWindow.inputBox, 0);
  exdui_recorder::Deliver(gMainWindow.directUi, EXM_SIZE, 0, (600 << 16) | 800);
  TypeAndEnter("hi");
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(exdui_recorder::LiveImages(), 0) << "the entries' avatars were released";
}

TEST_F(FailedControlsTest, ATurnWithoutAnInputBoxSendsAnEmptySentence) {
  LocalHttpsServer server;
  ASSERT_TRUE(server.Start([](const ReceivedRequest&) { return ScriptedReply{200, Reply("x")}; }));
  gTestChatbotHost = "127.0.0.1:" + std::to_string(server.Port());
  exdui_recorder::SetMessageLoop([] {});
  RunMainWindow();
  // As if the input box had gone: the lookup by ID finds nothing.
  exdui_recorder::Object(gMainWindow.inputBox)->id = 0;
  ConversationTurn();
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].target, kPathBase);
  EXPECT_EQ(Entries(), std::vector<ShownEntry>({{KindOwn, ""}, {KindOther, "x"}}));
}

}  // namespace
