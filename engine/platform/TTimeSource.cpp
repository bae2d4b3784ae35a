#include "engine/platform/TTimeSource.h"

#include "engine/platform/posix/TPosixTimeSource.h"

namespace {

TTimeSource& SystemSource()
{
    static TPosixTimeSource source;
    return source;
}

std::atomic<TTimeSource*> sCurrent{nullptr};

} // namespace

uint32_t TTimeSource::Now()
{
    TTimeSource* source = sCurrent.load(std::memory_order_acquire);
    return (source ? *source : SystemSource()).GetMilliseconds();
}

TTimeSource* TTimeSource::SetCurrent(TTimeSource* source)
{
    return sCurrent.exchange(source, std::memory_order_acq_rel);
}
