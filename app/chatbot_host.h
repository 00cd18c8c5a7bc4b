// The chatbot API host (host with an optional ":port"), fixed when the client
// is built; nothing is read at run time.
#pragma once

#include "text/text.h"

const Text& ChatbotApiHost();
