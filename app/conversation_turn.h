// One exchange with the chatbot, run when Enter is typed in the input box.
#pragma once

#include "text/text.h"

// Sends the input box's sentence to the chatbot and shows the sentence and
// the answer as bubbles; "清屏" empties the transcript instead of adding the
// user's bubble. Runs to its end on the UI thread.
void ConversationTurn();

// "https://" + the chatbot API host + "/bot?appid=tovi&userid=user&spoken=".
Text RequestUrlBase();
