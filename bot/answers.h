// The bot's small rule set and the JSON reply that carries an answer.
#pragma once

#include <ctime>
#include <string>

// The answer to a sentence (UTF-8) at local time `now`, in UTF-8: greetings in
// Chinese and English, the time, the date, help on 清屏, and a friendly echo of
// anything else. Answers are in English when the sentence is plain ASCII.
std::string AnswerFor(const std::string& spoken, const std::tm& now);

// The reply body for an answer: UTF-8 JSON whose answer follows "text": ".
// The client percent-decodes the whole body and ends the answer at the first
// double quote, so "%" travels as "%25", a double quote becomes a single one,
// control characters become blanks, and invalid UTF-8 becomes "?".
std::string ReplyJson(const std::string& answer);
