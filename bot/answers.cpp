#include "bot/answers.h"

#include <cstdio>
#include <initializer_list>
#include <string_view>

namespace {

constexpr size_t kMaxEchoBytes = 600;

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// ASCII letters lower-cased, surrounding blanks and closing punctuation cut,
// so "Hello!" and " hello " match the same rule.
std::string Normalised(std::string_view s) {
  std::string out;
  for (unsigned char c : s) out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  auto trimFront = [&] {
    while (!out.empty() && (out.front() == ' ' || out.front() == '\t')) out.erase(0, 1);
  };
  trimFront();
  for (bool cut = true; cut;) {
    cut = false;
    for (std::string_view tail : {" ", "\t", "!", "?", ".", "~", "\xEF\xBC\x81" /* ！ */,
                                  "\xEF\xBC\x9F" /* ？ */, "\xE3\x80\x82" /* 。 */}) {
      if (out.size() >= tail.size() &&
          out.compare(out.size() - tail.size(), tail.size(), tail) == 0 &&
          out.size() > tail.size()) {
        out.erase(out.size() - tail.size());
        cut = true;
      }
    }
  }
  return out;
}

bool IsOneOf(const std::string& s, std::initializer_list<std::string_view> words) {
  for (std::string_view w : words)
    if (s == w) return true;
  return false;
}

bool ContainsAny(const std::string& s, std::initializer_list<std::string_view> words) {
  for (std::string_view w : words)
    if (s.find(w) != std::string::npos) return true;
  return false;
}

// Keeps whole, valid UTF-8 sequences up to `limit` bytes; any other byte becomes "?".
std::string ValidUtf8Prefix(std::string_view s, size_t limit) {
  std::string out;
  size_t i = 0;
  while (i < s.size() && out.size() < limit) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80                   ? 1
               : (c >= 0xC2 && c <= 0xDF) ? 2
               : (c >= 0xE0 && c <= 0xEF) ? 3
               : (c >= 0xF0 && c <= 0xF4) ? 4
                                          : 0;
    bool ok = n > 0 && i + n <= s.size();
    for (size_t k = 1; ok && k < n; ++k) ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
    if (ok && n >= 3) {
      unsigned char d = static_cast<unsigned char>(s[i + 1]);
      // No overlong forms, no surrogates, nothing beyond U+10FFFF.
      ok = !(c == 0xE0 && d < 0xA0) && !(c == 0xED && d >= 0xA0) && !(c == 0xF0 && d < 0x90) &&
           !(c == 0xF4 && d >= 0x90);
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    out.append(s.substr(i, n));
    i += n;
  }
  if (i < s.size()) out += "...";
  return out;
}

std::string Format(const char* format, int a, int b, int c = 0) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, format, a, b, c);
  return buffer;
}

const char* const kWeekdaysZh[] = {"日", "一", "二", "三", "四", "五", "六"};
const char* const kWeekdaysEn[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                   "Thursday", "Friday", "Saturday"};
const char* const kMonthsEn[] = {"January",   "February", "March",    "April",
                                 "May",       "June",     "July",     "August",
                                 "September", "October",  "November", "December"};

std::string TimeAnswer(const std::tm& now, bool english) {
  if (english) return Format("It is %02d:%02d now.", now.tm_hour, now.tm_min);
  return Format("现在是 %02d:%02d。", now.tm_hour, now.tm_min);
}

std::string DateAnswer(const std::tm& now, bool english) {
  int weekday = (now.tm_wday % 7 + 7) % 7;
  int month = (now.tm_mon % 12 + 12) % 12;
  if (english) {
    return std::string("Today is ") + kWeekdaysEn[weekday] + ", " + std::to_string(now.tm_mday) +
           " " + kMonthsEn[month] + " " + std::to_string(now.tm_year + 1900) + ".";
  }
  return Format("今天是 %d年%d月%d日，", now.tm_year + 1900, month + 1, now.tm_mday) + "星期" +
         kWeekdaysZh[weekday] + "。";
}

}  // namespace

std::string AnswerFor(const std::string& spoken, const std::tm& now) {
  const bool english = IsAscii(spoken);
  const std::string s = Normalised(spoken);
  if (s.empty() || s == " ") {
    return english && !spoken.empty() ? "You did not say anything. Try saying hello!"
                                      : "你好像什么都没说哦，和我打个招呼吧！";
  }
  if (s == "清屏") return "好的，屏幕清空啦。我们重新开始聊吧！";
  if (IsOneOf(s, {"帮助", "help", "?", "？", "怎么用", "你会什么"})) {
    if (english) {
      return "Type 清屏 and press Enter to clear the screen. You can also ask me the time or "
             "the date, or just say hello.";
    }
    return "发送“清屏”可以清空聊天内容。你还可以问我现在几点、今天几号，或者和我打个招呼。";
  }
  if (IsOneOf(s, {"hi", "hello", "hey", "hi tovi", "hello tovi", "good morning", "good evening",
                  "good afternoon"})) {
    return "Hello! I am Tovi. Nice to chat with you.";
  }
  if (ContainsAny(s, {"你好", "您好", "嗨", "哈喽", "早上好", "晚上好", "下午好"}) &&
      s.size() <= 18) {
    return "你好！我是 Tovi，很高兴和你聊天。";
  }
  if (ContainsAny(s, {"日期", "几号", "星期几", "哪天"}) ||
      IsOneOf(s, {"date", "what day is it", "what is the date", "what's the date", "today"})) {
    return DateAnswer(now, english);
  }
  if (ContainsAny(s, {"时间", "几点"}) ||
      IsOneOf(s, {"time", "what time is it", "what is the time", "what's the time"})) {
    return TimeAnswer(now, english);
  }
  std::string echo = ValidUtf8Prefix(spoken, kMaxEchoBytes);
  if (english) return "You said: " + echo + ". Tell me more!";
  return "我听到你说：" + echo + "。再多说一点吧！";
}

std::string ReplyJson(const std::string& answer) {
  std::string safe;
  for (char ch : ValidUtf8Prefix(answer, answer.size() + 1)) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == '%') {
      safe += "%25";
    } else if (c == '"') {
      safe += '\'';
    } else if (c == '\\') {
      safe += "\\\\";
    } else if (c < 0x20 || c == 0x7F) {
      safe += ' ';
    } else {
      safe += ch;
    }
  }
  return "{\"status\": \"ok\", \"data\": {\"type\": 1, \"text\": \"" + safe + "\"}}";
}
