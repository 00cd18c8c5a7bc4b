// The local chatbot's rule set and the reply it carries answers in.
#include <gtest/gtest.h>

#include <string>

#include "bot/answers.h"

namespace {

std::tm FixedTime() {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;  // December
  t.tm_mday = 11;
  t.tm_wday = 5;  // Friday
  t.tm_hour = 9;
  t.tm_min = 5;
  return t;
}

struct AnswerCase {
  const char* spoken;
  const char* expected;
};

class BotAnswerTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(BotAnswerTest, AnswersByRule) {
  EXPECT_EQ(AnswerFor(GetParam().spoken, FixedTime()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BotAnswerTest,
    ::testing::Values(
        AnswerCase{"hi", "Hello! I am Tovi. Nice to chat with you."},
        AnswerCase{"Hello!", "Hello! I am Tovi. Nice to chat with you."},
        AnswerCase{"你好", "你好！我是 Tovi，很高兴和你聊天。"},
        AnswerCase{"您好！", "你好！我是 Tovi，很高兴和你聊天。"},
        AnswerCase{"time", "It is 09:05 now."}, AnswerCase{"现在几点？", "现在是 09:05。"},
        AnswerCase{"date", "Today is Friday, 11 December 2026."},
        AnswerCase{"今天几号", "今天是 2026年12月11日，星期五。"},
        AnswerCase{"help",
                   "Type 清屏 and press Enter to clear the screen. You can also ask me "
                   "the time or the date, or just say hello."},
        AnswerCase{
            "帮助",
            "发送“清屏”可以清空聊天内容。你还可以问我现在几点、今天几号，或者和我打个招呼。"},
        AnswerCase{"清屏", "好的，屏幕清空啦。我们重新开始聊吧！"},
        AnswerCase{"", "你好像什么都没说哦，和我打个招呼吧！"},
        AnswerCase{"books", "You said: books. Tell me more!"},
        AnswerCase{"我喜欢猫", "我听到你说：我喜欢猫。再多说一点吧！"},
        // A broken UTF-8 sequence is not passed on.
        AnswerCase{"caf\xC3", "我听到你说：caf?。再多说一点吧！"}));

struct ReplyCase {
  const char* answer;
  const char* text;  // what follows "text": " up to the closing quote
};

class BotReplyTest : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(BotReplyTest, CarriesTheAnswerSafely) {
  const std::string reply = ReplyJson(GetParam().answer);
  const std::string marker = "\"text\": \"";
  size_t start = reply.find(marker);
  ASSERT_NE(start, std::string::npos) << reply;
  start += marker.size();
  size_t end = reply.find('"', start);
  ASSERT_NE(end, std::string::npos) << reply;
  EXPECT_EQ(reply.substr(start, end - start), GetParam().text);
  EXPECT_EQ(reply.substr(end), "\"}}");
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, BotReplyTest,
    ::testing::Values(ReplyCase{"plain", "plain"}, ReplyCase{"50% done", "50%25 done"},
                      ReplyCase{"say \"x\"", "say 'x'"}, ReplyCase{"a\\b", "a\\\\b"},
                      ReplyCase{"line\nbreak\t", "line break "}, ReplyCase{"中文", "中文"}));

TEST(BotEcho, KeepsALongSentenceShort) {
  std::string answer = AnswerFor(std::string(5000, 'a'), FixedTime());
  EXPECT_LT(answer.size(), 700u);
  EXPECT_NE(answer.find("..."), std::string::npos);
}

}  // namespace
