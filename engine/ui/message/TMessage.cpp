#include "engine/ui/message/TMessage.h"

TMessage::TMessage(int type, const TString& name, TWindow* target)
    : mType(type), mName(name), mTarget(target)
{
}

const void* TMessage::ClassId()
{
    return reinterpret_cast<const void*>(&TMessage::ClassId);
}

void TMessage::SetContents(int type, const TString& name, TWindow* target)
{
    mType = type;
    mName = name;
    mTarget = target;
}
