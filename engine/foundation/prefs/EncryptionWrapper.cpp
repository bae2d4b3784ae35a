#include "engine/foundation/prefs/EncryptionWrapper.h"

#include "engine/foundation/core/Base64.h"
#include "engine/foundation/prefs/TBlowfish.h"

#include <cstring>
#include <vector>

namespace {

constexpr size_t kBlock = TBlowfish::kBlockSize;

std::vector<uint8_t> DecodeBase64Input(const void* bytes, size_t n)
{
    std::vector<uint8_t> decoded(Base64DecodedSize(n));
    decoded.resize(Base64Decode(static_cast<const char*>(bytes), n, decoded.data()));
    return decoded;
}

} // namespace

EncryptionWrapper::EncryptionWrapper() : mCipher(std::make_unique<TBlowfish>()) {}

EncryptionWrapper::~EncryptionWrapper() = default;

void EncryptionWrapper::Init(const TString& keyText)
{
    char text[kKeyTextLength];
    const char* given = keyText.CStr();
    size_t givenLength = std::strlen(given);
    for (size_t i = 0; i < kKeyTextLength; ++i)
        text[i] = i < givenLength ? given[i] : 'Z';
    std::memcpy(text + 9, kKeySuffix, 3);

    uint8_t key[9];
    size_t keyLength = Base64Decode(text, kKeyTextLength, key);
    mCipher->SetKey(key, keyLength);
}

size_t EncryptionWrapper::Encrypt(const void* bytes, size_t n, void* out, size_t capacity,
                                  bool base64)
{
    size_t padding = kBlock - n % kBlock;
    std::vector<uint8_t> data(n + padding, uint8_t(padding));
    if (n > 0)
        std::memcpy(data.data(), bytes, n);
    for (size_t i = 0; i < data.size(); i += kBlock)
        mCipher->EncryptBlock(data.data() + i);
    if (!base64)
        return CopyOut(data.data(), data.size(), out, capacity);

    std::vector<uint8_t> text(Base64EncodedSize(data.size()) + 1);
    size_t length = Base64Encode(data.data(), data.size(), reinterpret_cast<char*>(text.data()));
    text[length] = 0;
    return CopyOut(text.data(), text.size(), out, capacity);
}

size_t EncryptionWrapper::Decrypt(const void* bytes, size_t n, void* out, size_t capacity,
                                  bool base64)
{
    std::vector<uint8_t> data;
    if (base64) {
        data = DecodeBase64Input(bytes, n);
    } else if (n > 0) {
        const uint8_t* begin = static_cast<const uint8_t*>(bytes);
        data.assign(begin, begin + n);
    }
    if (data.empty())
        return CopyOut(nullptr, 0, out, capacity);

    data.resize((data.size() + kBlock - 1) / kBlock * kBlock, 0);
    for (size_t i = 0; i < data.size(); i += kBlock)
        mCipher->DecryptBlock(data.data() + i);

    // The padding byte is read as signed: a negative or oversized count means garbage.
    int padding = int(int8_t(data.back()));
    if (padding < 0 || size_t(padding) > data.size())
        return CopyOut(nullptr, 0, out, capacity);
    return CopyOut(data.data(), data.size() - size_t(padding), out, capacity);
}

TString EncryptionWrapper::DecryptString(const char* base64Text)
{
    size_t length = base64Text ? std::strlen(base64Text) : 0;
    size_t size = Decrypt(base64Text, length, nullptr, 0, true);
    if (size == 0)
        return TString();
    std::vector<char> buffer(size + 1, 0);
    Decrypt(base64Text, length, buffer.data(), size, true);
    return TString(buffer.data());
}

size_t EncryptionWrapper::CopyOut(const uint8_t* result, size_t size, void* out, size_t capacity)
{
    if (out == nullptr || capacity < size)
        return size;
    if (size > 0)
        std::memcpy(out, result, size);
    mLastSize = size;
    return 0;
}
