// How the start-up loop and the hand-over read a command-line argument.
#pragma once

#include "platform/single_instance.h"

namespace yomira {

// file, folder, URL or switch, with "file://" locations as local paths.
ArgumentClassifier StartArgumentClassifier();

}  // namespace yomira
