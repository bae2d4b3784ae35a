#pragma once

// Why a file cannot be read, in words for a log line: a caller that found it cannot use
// a file names the file and the reason ("sound: audio/x.ogg: is a folder") instead of
// guessing one.

#include "engine/foundation/core/TString.h"

// "" when path opens for reading and has at least one byte; else "does not exist", "is a
// folder" (also an asset folder, known by the files below it), "is not a regular file"
// (a pipe or a device, which is not opened), "cannot be opened" or "is empty". Reads
// nothing but the size.
TString DescribeFileProblem(const TString& path);
