// The chat transcript as the application uses it.
#pragma once

#include "transcript/transcript_list.h"
#include "transcript/transcript_paint.h"
#include "transcript/transcript_records.h"
