#include "engine/foundation/xml/TGetCharString.h"

int TGetCharString::Unget(int c)
{
    if (mPosition == 0) {
        return -1;
    }
    --mPosition;
    return c;
}

int TGetCharString::GetChar()
{
    if (mPosition >= mLength) {
        return -1;
    }
    return static_cast<unsigned char>(mData[mPosition++]);
}
