// The settings of a first start: what the settings file gives for every key it lacks.
#pragma once

#include "engine/core/option.h"

namespace yomira {

// The default record, already in the record's units (v_size in half-width cells) and
// valid as it stands (Validate leaves it unchanged).
TYomiraOption DefaultOptions();

}  // namespace yomira
