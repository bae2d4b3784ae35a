#include "engine/graphics/text/FontCache.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TFile.h"
#include "engine/graphics/text/BuiltInFont.h"
#include "engine/graphics/text/TVecFont.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace {

// A font file larger than this is refused rather than read (65535 glyphs of generous
// outlines stay far below it).
constexpr int64_t kMaxFontBytes = 16 << 20;

std::map<TString, std::unique_ptr<TVecFont>>& Fonts()
{
    static std::map<TString, std::unique_ptr<TVecFont>> fonts;
    return fonts;
}

std::vector<uint8_t> BuiltInImage()
{
    return std::vector<uint8_t>(kBuiltInFont, kBuiltInFont + kBuiltInFontSize);
}

// The whole file at path; false when it cannot be opened. A file that cannot be read
// whole gives an empty image (an empty font), with a log line.
bool ReadFontFile(const TString& path, std::vector<uint8_t>& image)
{
    TFile* file = FileOpen(path, kFileReadBinary);
    if (file == nullptr)
        return false;
    FileSeek(file, 0, kSeekEnd);
    const int64_t size = FileTell(file);
    FileSeek(file, 0, kSeekStart);
    image.clear();
    if (size < 0 || size > kMaxFontBytes) {
        TraceLog("graphics: font: %s: size %lld refused", path.CStr(),
                 static_cast<long long>(size));
    } else {
        image.resize(static_cast<size_t>(size));
        if (FileRead(image.data(), 1, image.size(), file) != image.size()) {
            TraceLog("graphics: font: %s: cannot be read whole", path.CStr());
            image.clear();
        }
    }
    FileClose(file);
    return true;
}

std::unique_ptr<TVecFont> LoadFont(const TString& name)
{
    std::vector<uint8_t> image;
    if (name == TString(FontCache::kBuiltInName))
        return std::make_unique<TVecFont>(BuiltInImage(), name);
    if (ReadFontFile(name, image))
        return std::make_unique<TVecFont>(std::move(image), name);
    if (ReadFontFile(FontCache::kDefaultFile, image))
        return std::make_unique<TVecFont>(std::move(image), FontCache::kDefaultFile);
    return std::make_unique<TVecFont>(BuiltInImage(), FontCache::kBuiltInName);
}

} // namespace

TVecFont* FontCache::GetFont(const TString& name)
{
    auto& fonts = Fonts();
    const auto found = fonts.find(name);
    if (found != fonts.end())
        return found->second.get();
    std::unique_ptr<TVecFont> font = LoadFont(name);
    if (!font)
        TraceLog(kNotFoundLog, name.CStr());
    TVecFont* result = font.get();
    fonts.emplace(name, std::move(font));
    return result;
}

void FontCache::Clear()
{
    Fonts().clear();
}
