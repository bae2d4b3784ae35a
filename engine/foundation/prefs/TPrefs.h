#pragma once

#include "engine/foundation/core/TString.h"
#include "engine/foundation/prefs/EncryptionWrapper.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

class TXmlNode;

// The game's persistent per-user key/value store: player profiles, options, progress and
// high scores. Values are byte strings under text keys, kept per installation (install
// key, lower case) and per user slot: user -1 is the shared slot, users 0, 1, ... the
// players. Strings are stored with their NUL, integers as "%d" text.
//
// The store lives in "user:prefs.dat", a run of chunks (4-byte tag, u32 little-endian
// length of 1 to 0x400000, payload): "IKEY" (install key and NUL), "USER" (u16 entry
// index, plain) and "KVPR" (u16 key length + 1, key, NUL, value). Every payload except
// "USER" is enciphered (EncryptionWrapper, key = the setting "encryptionkey"). The older
// XML form of the file is still read and rewritten in chunk form.
//
// "install.txt", when it exists, decides the install key: its whole text when not empty;
// when empty, the key found first in the file is adopted.
//
// A damaged file keeps every chunk read before the damage (logged once). Saving never
// destroys the previous file: a temporary file beside it is written, synced and renamed
// over it. Sections of other install keys are kept and written back unchanged.
// Main thread only.
class TPrefs
{
public:
    static constexpr uint32_t kMaxChunkLength = 0x400000;
    static constexpr int kMaxEntryIndex = 1024;
    static constexpr int kMaxUser = kMaxEntryIndex - 1;

    // Keys the cipher with the setting "encryptionkey" (logging when it is empty), takes
    // the setting "installkey" (else "unknown") and loads the file. Saving happens only
    // when saveEnabled is set.
    explicit TPrefs(bool saveEnabled);
    // The same with the key texts given (tools, tests).
    TPrefs(bool saveEnabled, const TString& encryptionKey, const TString& installKey);
    ~TPrefs();
    TPrefs(const TPrefs&) = delete;
    TPrefs& operator=(const TPrefs&) = delete;

    // The value as text (up to its first NUL), or defaultValue when the user's entry or
    // the key does not exist.
    TString GetString(const TString& key, const TString& defaultValue, int user = -1) const;
    // atoi of GetString, with the default given as its "%d" text.
    int GetInt(const TString& key, int defaultValue, int user = -1) const;
    // -1 when the user's entry or the key does not exist; the value's size, copying
    // nothing, when buffer is null or smaller than the value; otherwise 0 after copying.
    int GetBinary(const TString& key, void* buffer, int bufferSize, int user = -1) const;

    // Store a value for user (-1 shared, 0..kMaxUser players); the current section grows
    // to user + 2 entries. With saveNow, Save follows. False, with a log line, for a user
    // out of range or a key or value too large for the file; nothing is changed then.
    bool SetString(const TString& key, const TString& value, int user = -1, bool saveNow = false);
    bool SetInt(const TString& key, int value, int user = -1, bool saveNow = false);
    bool SetBinary(const TString& key, const void* bytes, int count, int user = -1,
                   bool saveNow = false);

    // Player entries of the current section.
    int GetUserCount() const;
    // Removes player n (0 <= n < GetUserCount()); later players move down one. False for
    // anything else: the shared entry (-1) is never deleted.
    bool DeleteUser(int n);

    // Writes the file (when saving is enabled). False, with a log line, when the file
    // could not be written; the previous file is then intact.
    bool Save();
    // Reads the file, replacing nothing already in memory that the file lacks.
    void Load();

    // Reads an image of the file (either form) as Load does, without "install.txt" and
    // without saving. False when nothing could be read. For the fuzz target and tools.
    bool LoadFromBytes(const uint8_t* data, size_t size);

    // The file image Save writes.
    std::vector<uint8_t> BuildFileImage();

    const TString& GetInstallKey() const { return mInstallKey; }

    // The checksum the older XML form keeps in "data2": each byte of the text, taken as a
    // signed 8-bit value, shifted left by (position mod 4) * 8 bits, all XORed together.
    static uint32_t LegacyChecksum(const TString& text);

private:
    using TValue = std::vector<uint8_t>;
    using TEntry = std::map<TString, TValue>;
    using TSection = std::vector<TEntry>;

    struct TInstallText
    {
        bool exists = false;
        TString text;
    };

    static TInstallText ReadInstallText();
    void SetInstallKey(const TString& key);
    TSection& CurrentSection();
    const TValue* FindValue(const TString& key, int user) const;
    bool SetValue(const TString& key, TValue value, int user, bool saveNow);

    bool ReadChunks(const uint8_t* data, size_t size, bool adoptInstallKey);
    bool ReadLegacyXml(const uint8_t* data, size_t size, bool adoptInstallKey);
    void ReadLegacyDocument(TXmlNode& document, bool adoptInstallKey);
    TString DecipherLegacyText(const TXmlNode& root);
    static TXmlNode& ContentOf(TXmlNode& parsed);
    static std::vector<TXmlNode*> ChildrenOf(TXmlNode& node);

    void AppendChunk(std::vector<uint8_t>& out, const char* tag, const std::vector<uint8_t>& plain,
                     bool encipher);

    EncryptionWrapper mCipher;
    std::map<TString, TSection> mSections;
    TString mEncryptionKey;
    TString mFileName = "user:prefs.dat";
    TString mInstallKey;
    bool mSaveEnabled = false;
};
