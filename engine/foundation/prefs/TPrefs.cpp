#include "engine/foundation/prefs/TPrefs.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/LittleEndian.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/files/TFile.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/foundation/xml/TXmlNode.h"
#include "engine/platform/TSafeFile.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kChunkHeader = 8;
// No real preferences file comes near this; anything larger is not read into memory.
constexpr int64_t kMaxFileSize = 64 << 20;

// Text of at most n bytes, ending early at a NUL.
TString TextOf(const uint8_t* p, size_t n)
{
    size_t length = 0;
    while (length < n && p[length] != 0)
        ++length;
    return TString(reinterpret_cast<const char*>(p), int(length));
}

TString Lowered(TString text)
{
    text.MakeLower();
    return text;
}

std::vector<uint8_t> ReadWholeFile(const TString& path, TFileMode mode, bool* opened)
{
    std::vector<uint8_t> bytes;
    TFile file;
    *opened = file.Open(path, mode);
    if (!*opened)
        return bytes;
    if (file.GetSize() > kMaxFileSize) {
        TraceLog("prefs: %s: refused: larger than %lld bytes", path.CStr(),
                 (long long)kMaxFileSize);
        return bytes;
    }
    uint8_t buffer[4096];
    for (;;) {
        size_t got = file.Read(buffer, sizeof(buffer));
        if (got == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

// One chunk as read: its tag's first letter and its plain payload.
struct TChunk
{
    char kind = 0;
    std::vector<uint8_t> payload;
};

} // namespace

TPrefs::TPrefs(bool saveEnabled)
    : TPrefs(saveEnabled, GetConfig("encryptionkey", ""), GetConfig("installkey", ""))
{
}

TPrefs::TPrefs(bool saveEnabled, const TString& encryptionKey, const TString& installKey)
    : mEncryptionKey(encryptionKey), mSaveEnabled(saveEnabled)
{
    mCipher.Init(encryptionKey);
    if (encryptionKey.Length() == 0)
        TraceLog("ERROR: No encryption key set before TPrefs construction!");
    mInstallKey = installKey.Length() > 0 ? installKey : TString("unknown");
    Load();
}

TPrefs::~TPrefs() = default;

uint32_t TPrefs::LegacyChecksum(const TString& text)
{
    uint32_t sum = 0;
    for (int i = 0; i < text.Length(); ++i)
        sum ^= uint32_t(int32_t(int8_t(text.CharAt(i)))) << ((i % 4) * 8);
    return sum;
}

// ---------------------------------------------------------------------------------------
// Values

TPrefs::TSection& TPrefs::CurrentSection()
{
    return mSections[mInstallKey];
}

void TPrefs::SetInstallKey(const TString& key)
{
    mInstallKey = Lowered(key);
    CurrentSection();
}

const TPrefs::TValue* TPrefs::FindValue(const TString& key, int user) const
{
    auto section = mSections.find(mInstallKey);
    if (section == mSections.end() || user < -1 || user + 1 >= int(section->second.size()))
        return nullptr;
    const TEntry& entry = section->second[size_t(user + 1)];
    auto value = entry.find(key);
    return value == entry.end() ? nullptr : &value->second;
}

TString TPrefs::GetString(const TString& key, const TString& defaultValue, int user) const
{
    const TValue* value = FindValue(key, user);
    if (value == nullptr)
        return defaultValue;
    return TextOf(value->data(), value->size());
}

int TPrefs::GetInt(const TString& key, int defaultValue, int user) const
{
    return std::atoi(GetString(key, TString::Printf("%d", defaultValue), user).CStr());
}

int TPrefs::GetBinary(const TString& key, void* buffer, int bufferSize, int user) const
{
    const TValue* value = FindValue(key, user);
    if (value == nullptr)
        return -1;
    int size = int(value->size());
    if (buffer == nullptr || bufferSize < size)
        return size;
    if (size > 0)
        std::memcpy(buffer, value->data(), value->size());
    return 0;
}

bool TPrefs::SetString(const TString& key, const TString& value, int user, bool saveNow)
{
    const uint8_t* text = reinterpret_cast<const uint8_t*>(value.CStr());
    return SetValue(key, TValue(text, text + value.Length() + 1), user, saveNow);
}

bool TPrefs::SetInt(const TString& key, int value, int user, bool saveNow)
{
    return SetString(key, TString::Printf("%d", value), user, saveNow);
}

bool TPrefs::SetBinary(const TString& key, const void* bytes, int count, int user, bool saveNow)
{
    if (count < 0 || (count > 0 && bytes == nullptr)) {
        TraceLog("prefs: %s: refused a value of %d bytes", key.CStr(), count);
        return false;
    }
    const uint8_t* begin = static_cast<const uint8_t*>(bytes);
    return SetValue(key, count > 0 ? TValue(begin, begin + count) : TValue(), user, saveNow);
}

bool TPrefs::SetValue(const TString& key, TValue value, int user, bool saveNow)
{
    if (user < -1 || user > kMaxUser) {
        TraceLog("prefs: %s: refused user %d (valid: -1 to %d)", key.CStr(), user, kMaxUser);
        return false;
    }
    // The enciphered "KVPR" payload (2 + key + NUL + value + padding) must stay readable.
    size_t payload = 2 + size_t(key.Length()) + 1 + value.size() + 8;
    if (key.Length() >= 0xffff || payload > kMaxChunkLength) {
        TraceLog("prefs: %s: refused a value of %zu bytes (too large for the file)", key.CStr(),
                 value.size());
        return false;
    }
    TSection& section = CurrentSection();
    if (int(section.size()) < user + 2)
        section.resize(size_t(user + 2));
    section[size_t(user + 1)][key] = std::move(value);
    if (saveNow)
        Save();
    return true;
}

int TPrefs::GetUserCount() const
{
    auto section = mSections.find(mInstallKey);
    if (section == mSections.end() || section->second.empty())
        return 0;
    return int(section->second.size()) - 1;
}

bool TPrefs::DeleteUser(int n)
{
    if (n < 0 || n >= GetUserCount()) {
        TraceLog("prefs: refused to delete user %d (users: %d)", n, GetUserCount());
        return false;
    }
    TSection& section = CurrentSection();
    section.erase(section.begin() + (n + 1));
    return true;
}

// ---------------------------------------------------------------------------------------
// Loading

TPrefs::TInstallText TPrefs::ReadInstallText()
{
    TInstallText result;
    std::vector<uint8_t> bytes = ReadWholeFile("install.txt", kFileReadText, &result.exists);
    result.text = TString(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
    return result;
}

void TPrefs::Load()
{
    TInstallText install = ReadInstallText();
    bool adopt = install.exists && install.text.Length() == 0;
    if (install.exists && !adopt)
        mInstallKey = install.text;
    SetInstallKey(mInstallKey);

    bool opened = false;
    std::vector<uint8_t> bytes = ReadWholeFile(mFileName, kFileReadBinary, &opened);
    if (!opened)
        return;
    if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == '>') {
        // A file that could not be read is left alone rather than replaced by nothing.
        if (ReadLegacyXml(bytes.data(), bytes.size(), adopt)) {
            TraceLog("prefs: %s: converting the older XML form", mFileName.CStr());
            Save();
        }
        return;
    }
    ReadChunks(bytes.data(), bytes.size(), adopt);
}

bool TPrefs::LoadFromBytes(const uint8_t* data, size_t size)
{
    if (size >= 2 && data[0] == '<' && data[1] == '>')
        return ReadLegacyXml(data, size, false);
    return ReadChunks(data, size, false);
}

bool TPrefs::ReadChunks(const uint8_t* data, size_t size, bool adoptInstallKey)
{
    size_t offset = 0;
    const char* damage = nullptr;
    auto nextChunk = [&](TChunk& chunk) -> bool {
        if (size - offset < kChunkHeader) {
            damage = offset == size ? nullptr : "truncated chunk header";
            return false;
        }
        uint32_t length = ReadLE32(data + offset + 4);
        if (length == 0 || length > kMaxChunkLength) {
            damage = "chunk length out of range";
            return false;
        }
        if (size - offset - kChunkHeader < length) {
            damage = "truncated chunk";
            return false;
        }
        chunk.kind = char(data[offset]);
        const uint8_t* payload = data + offset + kChunkHeader;
        offset += kChunkHeader + length;
        if (chunk.kind == 'U') {
            chunk.payload.assign(payload, payload + length);
            return true;
        }
        size_t plainSize = mCipher.Decrypt(payload, length, nullptr, 0, false);
        chunk.payload.assign(plainSize, 0);
        if (plainSize == 0 ||
            mCipher.Decrypt(payload, length, chunk.payload.data(), plainSize, false) != 0) {
            damage = "chunk does not decipher (wrong key or damaged)";
            return false;
        }
        return true;
    };

    TChunk chunk;
    if (!nextChunk(chunk) || chunk.kind != 'I') {
        TraceLog("prefs: %s: %s; nothing loaded", mFileName.CStr(),
                 damage ? damage : "does not begin with an install key");
        return false;
    }
    TString reading = Lowered(TextOf(chunk.payload.data(), chunk.payload.size()));
    if (adoptInstallKey)
        SetInstallKey(reading);
    size_t entry = 0;
    while (nextChunk(chunk)) {
        if (chunk.kind == 'I') {
            reading = Lowered(TextOf(chunk.payload.data(), chunk.payload.size()));
            mSections[reading]; // a section without entries is kept too
            continue;
        }
        if (chunk.kind == 'U') {
            if (chunk.payload.size() < 2 || ReadLE16(chunk.payload.data()) > kMaxEntryIndex) {
                damage = "bad user chunk";
                break;
            }
            entry = ReadLE16(chunk.payload.data());
            TSection& section = mSections[reading];
            if (section.size() < entry + 1)
                section.resize(entry + 1);
            continue;
        }
        if (chunk.kind != 'K') {
            damage = "unknown chunk";
            break;
        }
        const std::vector<uint8_t>& p = chunk.payload;
        size_t keySize = p.size() >= 2 ? ReadLE16(p.data()) : 0;
        if (keySize == 0 || p.size() < keySize + 2) {
            damage = "key length beyond its chunk";
            break;
        }
        TSection& section = mSections[reading];
        if (section.size() < entry + 1)
            section.resize(entry + 1);
        TString key = TextOf(p.data() + 2, keySize - 1);
        section[entry][key] = TValue(p.begin() + long(2 + keySize), p.end());
    }
    if (damage != nullptr)
        TraceLog("prefs: %s: %s at byte %zu; keeping what was read before", mFileName.CStr(),
                 damage, offset);
    return true;
}

bool TPrefs::ReadLegacyXml(const uint8_t* data, size_t size, bool adoptInstallKey)
{
    TXmlNode file;
    file.LoadString(reinterpret_cast<const char*>(data), size);
    TXmlNode& root = ContentOf(file);
    if (mEncryptionKey.Length() == 0) {
        ReadLegacyDocument(root, adoptInstallKey);
        return true;
    }
    TString text = DecipherLegacyText(root);
    if (text.Length() == 0)
        return false;
    TXmlNode document;
    document.LoadString(text.CStr());
    ReadLegacyDocument(ContentOf(document), adoptInstallKey);
    return true;
}

TXmlNode& TPrefs::ContentOf(TXmlNode& parsed)
{
    // The file is one unnamed element; depending on how it was read, its content is
    // either the parsed node's own children or those of an unnamed child.
    TXmlNode* unnamed = parsed.FindChild("");
    return unnamed != nullptr ? *unnamed : parsed;
}

TString TPrefs::DecipherLegacyText(const TXmlNode& root)
{
    const TXmlNode* sealed = root.FindChild("data1");
    const TXmlNode* checksum = root.FindChild("data2");
    if (sealed == nullptr || checksum == nullptr) {
        TraceLog("prefs: %s: older XML form without its data; nothing loaded", mFileName.CStr());
        return TString();
    }
    TString text = mCipher.DecryptString(sealed->GetAttribute("data").CStr());
    uint32_t expected = uint32_t(std::strtoll(checksum->GetAttribute("data").CStr(), nullptr, 10));
    if (text.Length() == 0 || LegacyChecksum(text) != expected) {
        TraceLog("prefs: %s: older XML form fails its checksum; nothing loaded", mFileName.CStr());
        return TString();
    }
    return text;
}

void TPrefs::ReadLegacyDocument(TXmlNode& document, bool adoptInstallKey)
{
    bool first = true;
    for (TXmlNode* install : ChildrenOf(document)) {
        if (install->GetName() != TString("install"))
            continue;
        TString installKey = Lowered(install->GetAttribute("hvinstallkey"));
        if (first && adoptInstallKey)
            mInstallKey = installKey;
        first = false;
        TSection& section = mSections[installKey];
        size_t index = 0;
        for (TXmlNode* entry : ChildrenOf(*install)) {
            if (section.size() < index + 1)
                section.resize(index + 1);
            for (const XmlAttribute& attribute : entry->GetAttributes()) {
                const char* text = attribute.value.CStr();
                section[index][attribute.name] = TValue(text, text + attribute.value.Length() + 1);
            }
            if (++index > size_t(kMaxEntryIndex))
                break;
        }
    }
    SetInstallKey(mInstallKey);
}

std::vector<TXmlNode*> TPrefs::ChildrenOf(TXmlNode& node)
{
    std::vector<TXmlNode*> children;
    TString name;
    TXmlNode* child = nullptr;
    node.ResetChildIterator();
    while (node.NextChild(name, child))
        children.push_back(child);
    return children;
}

// ---------------------------------------------------------------------------------------
// Saving

void TPrefs::AppendChunk(std::vector<uint8_t>& out, const char* tag,
                         const std::vector<uint8_t>& plain, bool encipher)
{
    out.insert(out.end(), tag, tag + 4);
    if (!encipher) {
        AppendLE32(out, uint32_t(plain.size()));
        out.insert(out.end(), plain.begin(), plain.end());
        return;
    }
    size_t sealedSize = mCipher.Encrypt(plain.data(), plain.size(), nullptr, 0, false);
    AppendLE32(out, uint32_t(sealedSize));
    size_t at = out.size();
    out.resize(at + sealedSize);
    mCipher.Encrypt(plain.data(), plain.size(), out.data() + at, sealedSize, false);
}

std::vector<uint8_t> TPrefs::BuildFileImage()
{
    auto keyText = [](const TString& key) {
        const uint8_t* text = reinterpret_cast<const uint8_t*>(key.CStr());
        return std::vector<uint8_t>(text, text + key.Length() + 1);
    };
    std::vector<uint8_t> out;
    AppendChunk(out, "IKEY", keyText(mInstallKey), true);
    for (const auto& [installKey, section] : mSections) {
        AppendChunk(out, "IKEY", keyText(installKey), true);
        for (size_t i = 0; i < section.size(); ++i) {
            std::vector<uint8_t> index;
            AppendLE16(index, uint16_t(i));
            AppendChunk(out, "USER", index, false);
            for (const auto& [key, value] : section[i]) {
                std::vector<uint8_t> pair;
                AppendLE16(pair, uint16_t(key.Length() + 1));
                std::vector<uint8_t> name = keyText(key);
                pair.insert(pair.end(), name.begin(), name.end());
                pair.insert(pair.end(), value.begin(), value.end());
                AppendChunk(out, "KVPR", pair, true);
            }
        }
    }
    return out;
}

bool TPrefs::Save()
{
    if (!mSaveEnabled)
        return true;
    std::vector<uint8_t> image = BuildFileImage();
    TString location = ResolvePath(mFileName, false);
    if (!IsDiskLocation(location)) {
        TraceLog("prefs: %s: no folder to save into", mFileName.CStr());
        return false;
    }
    TPathMap::Get().CreateFoldersFor(location);
    std::string error;
    if (!TSafeFile::Replace(location.CStr(), image.data(), image.size(), &error)) {
        TraceLog("prefs: %s: not saved: %s", mFileName.CStr(), error.c_str());
        return false;
    }
    return true;
}
