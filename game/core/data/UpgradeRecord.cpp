#include "game/core/data/UpgradeRecord.h"

namespace YOLT::Core {

int ParseUpgradeState(const TString& text)
{
    if (text == TString("not"))
        return -1;
    if (text.Length() == 1 && text.CharAt(0) >= '1' && text.CharAt(0) <= '5')
        return text.CharAt(0) - '0';
    return 0;
}

} // namespace YOLT::Core
