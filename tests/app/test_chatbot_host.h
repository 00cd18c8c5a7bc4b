// The host the tests' build of the client talks to; see test_chatbot_host.cpp.
#pragma once

#include "app/chatbot_host.h"

extern Text gTestChatbotHost;
