#include "engine/foundation/app/TFirstFrameReport.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/platform/TProcessMemory.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kVariable = "VELMORA_FIRST_FRAME";

std::FILE* AskedOutput()
{
    const char* value = std::getenv(kVariable);
    return value != nullptr && std::strcmp(value, "1") == 0 ? stdout : nullptr;
}

} // namespace

TFirstFrameReport::TFirstFrameReport() : mOut(AskedOutput()) {}

void TFirstFrameReport::Update(int frameCount, uint32_t engineMilliseconds)
{
    if (mDone || frameCount <= 0)
        return;
    mDone = true;
    const std::optional<uint64_t> resident = TProcessMemory::Create()->GetResidentBytes();
    const unsigned long long kilobytes = resident ? *resident / 1024 : 0;
    TraceLog("start-up: first frame drawn %u ms after the engine started, %llu KB resident",
             engineMilliseconds, kilobytes);
    if (mOut == nullptr)
        return;
    std::fprintf(mOut, "first frame: %u ms after the engine started, %llu KB resident\n",
                 engineMilliseconds, kilobytes);
    std::fflush(mOut);
}
