#include "engine/foundation/files/TFileMapHandler.h"

bool TFileMapHandler::Open(const TString& path)
{
    mPath = path;
    auto data = std::make_shared<TFileMapData>();
    if (!data->Open(path)) {
        mData.reset();
        return false;
    }
    mData = std::move(data);
    return true;
}
