// Small helpers on request header blocks: lines separated by CR LF, without
// a final CR LF.
#pragma once

#include "text/text.h"

// The block with the first letter of every hyphen-separated word of each
// header name capitalised ('content-TYPE' becomes 'Content-TYPE'); colons
// and values stay as they were. Lines without a colon are dropped.
Text NormalizeHeaderNames(const Text& block);

// The text with its first byte upper-cased (ASCII letters only).
Text CapitalizeFirst(const Text& text);

// The trimmed text after the first colon; empty when there is none.
Text HeaderValue(const Text& text);
