// With VELMORA_GC_STRESS set (CTest runs every test of this executable a second time so),
// the interpreter collects garbage at every collector check, which shakes out values the
// binding forgets to anchor.

#include "engine/script/lua/runtime/LCollector.h"

#include <cstdlib>

namespace {

const bool kStressMode = [] {
    const char* stress = std::getenv("VELMORA_GC_STRESS");
    bool on = stress != nullptr && stress[0] != '\0' && stress[0] != '0';
    luaC_setstress(on);
    return on;
}();

} // namespace
