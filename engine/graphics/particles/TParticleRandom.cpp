#include "engine/graphics/particles/TParticleRandom.h"

#include "engine/foundation/core/CreateGuid.h"
#include "engine/foundation/core/TMersenneTwister.h"

#include <memory>

namespace {

struct TShared
{
    std::unique_ptr<TMersenneTwister> generator;
    int holders = 0;
};

TShared& Shared()
{
    static TShared shared;
    return shared;
}

} // namespace

TParticleRandom::TParticleRandom()
{
    ++Shared().holders;
    Generator();
}

TParticleRandom::~TParticleRandom()
{
    if (--Shared().holders == 0)
        Shared().generator.reset();
}

TMersenneTwister& TParticleRandom::Generator()
{
    std::unique_ptr<TMersenneTwister>& generator = Shared().generator;
    if (!generator) {
        uint8_t id[16];
        CreateGuid(id);
        uint32_t words[4];
        for (int i = 0; i < 4; ++i)
            words[i] = uint32_t(id[4 * i]) | uint32_t(id[4 * i + 1]) << 8 |
                       uint32_t(id[4 * i + 2]) << 16 | uint32_t(id[4 * i + 3]) << 24;
        generator = std::make_unique<TMersenneTwister>();
        generator->SeedByArray(words, 4);
    }
    return *generator;
}

void TParticleRandom::Seed(uint32_t seed)
{
    Generator().Seed(seed);
}

float TParticleRandom::NextFloat()
{
    return static_cast<float>(static_cast<double>(Generator().NextUInt32()) * (1.0 / 4294967424.0));
}

double TParticleRandom::NextReal()
{
    return Generator().NextReal();
}
