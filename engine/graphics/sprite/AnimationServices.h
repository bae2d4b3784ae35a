#pragma once

// What animated sprites take from the platform, with a stand-in of graphics' own when
// there is no platform (tools, tests): the task list their scripts are scheduled on and
// the random generator.

#include <cstdint>

class TTaskList;

// The platform's main task list while the platform exists; else one of graphics' own,
// never destroyed, which whoever plays animations without a platform runs with RunAll.
TTaskList& GetAnimationTaskList();

// The platform's random generator while the platform exists; else graphics' own.
uint32_t AnimationRandom();
