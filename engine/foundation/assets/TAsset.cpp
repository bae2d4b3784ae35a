#include "engine/foundation/assets/TAsset.h"

TAsset::TClassId TAsset::ClassId()
{
    static const char id = 0;
    return &id;
}
