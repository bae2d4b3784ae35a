#include "engine/graphics/particles/nodes/functions/FDebug.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/TString.h"
#include "engine/graphics/particles/TParticleEvalContext.h"

int FDebug::GetResultDimension(int, const uint8_t*) const
{
    return 0;
}

bool FDebug::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    TString text;
    for (int j = 0; j < context.GetOperandCount(); ++j) {
        text += "(";
        const float* values = context.GetOperand(j);
        for (int i = 0; i < context.GetDimension(j); ++i)
            text += TString::Printf(i == 0 ? "%f" : ",%f", static_cast<double>(values[i]));
        text += ") ";
    }
    TraceLog("graphics: particles: values %s", text.CStr());
    return true;
}
