#include "engine/ui/widgets/WindowPicture.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/TTexture.h"
#include "engine/ui/window/TWindow.h"
#include "engine/ui/window/TWindowServices.h"
#include "engine/ui/window/TWindowStyle.h"

namespace {

void ReportMissing(const TString& picture, const TString& askedBy)
{
    TWindowServices* manager = GetWindowServices();
    if (manager != nullptr && !manager->IsFirstMissingPicture(picture))
        return;
    TraceLog(kPictureNotLoadedLog, picture.CStr(), askedBy.CStr());
}

} // namespace

std::shared_ptr<TTexture> LoadWindowPicture(const TString& name, int flags, const TString& askedBy)
{
    return LoadWindowPicture(name, TString(), flags, askedBy);
}

std::shared_ptr<TTexture> LoadWindowPicture(const TString& name, const TString& maskName, int flags,
                                            const TString& askedBy)
{
    if (name.Length() == 0)
        return nullptr;
    const bool masked = maskName.Length() > 0;
    std::shared_ptr<TTexture> texture =
        masked ? TTexture::GetWithMask(name, maskName, flags) : TTexture::Get(name, flags);
    if (texture)
        return texture;
    TString picture = TString("picture \"") + name + "\"";
    if (masked)
        picture = picture + " with mask \"" + maskName + "\"";
    ReportMissing(picture, askedBy);
    return nullptr;
}

TString DescribeAsker(const TWindow& window, const TWindowStyle& style)
{
    TString type = style.GetString("typename", "");
    if (type.Length() == 0)
        type = window.GetClassName();
    return DescribeAsker(type + " \"" + style.GetString("name", window.GetName()) + "\"",
                         style.GetOrigin());
}

TString DescribeAsker(const TString& who, const TString& where)
{
    return where.Length() > 0 ? who + ", " + where : who;
}
