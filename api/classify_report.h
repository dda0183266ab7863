// Filling the host's ClassifyReport from a classification result.
#pragma once

#include "api/engine_api.h"
#include "classify/classify.h"
#include "util/export.h"

// bucket_index by parse_bucket_name, flags as 0/1, the per-cell arrays, and the bucket
// word and label cut to 15 and 63 bytes with zero fill.
NONET_EXPORT void fill_classify_report(ClassifyReport* out, PuzzleClassifyResult const& r);
