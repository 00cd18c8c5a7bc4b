// The tests' chatbot host: the client's host is fixed when it is built, so
// the test programs link this definition in its place and point it at their
// own local server.
#include "tests/app/test_chatbot_host.h"

Text gTestChatbotHost = "127.0.0.1:9";

const Text& ChatbotApiHost() {
  return gTestChatbotHost;
}
