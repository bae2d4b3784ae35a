// zxmlpack: packs an XML file (or a string table) into the "ZXML" form, or unpacks one.
//
//   zxmlpack INPUT OUTPUT       pack
//   zxmlpack -d INPUT OUTPUT    unpack
#include "engine/foundation/xml/TZxml.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

bool ReadFile(const char* path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool WriteFile(const char* path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

} // namespace

int main(int argc, char** argv)
{
    const bool unpack = argc == 4 && std::strcmp(argv[1], "-d") == 0;
    if (argc != 3 && !unpack) {
        std::fprintf(stderr, "usage: zxmlpack [-d] INPUT OUTPUT\n");
        return 2;
    }
    const char* input = argv[argc - 2];
    const char* output = argv[argc - 1];
    std::string bytes;
    if (!ReadFile(input, bytes)) {
        std::fprintf(stderr, "zxmlpack: cannot read %s\n", input);
        return 1;
    }
    std::string result;
    if (unpack) {
        if (!TZxml::Unpack(bytes.data(), bytes.size(), result, input)) {
            std::fprintf(stderr, "zxmlpack: %s is no intact ZXML block\n", input);
            return 1;
        }
    } else {
        result = TZxml::Pack(bytes);
        if (result.empty()) {
            std::fprintf(stderr, "zxmlpack: cannot pack %s (over %u bytes?)\n", input,
                         TZxml::kMaxUnpackedSize);
            return 1;
        }
    }
    if (!WriteFile(output, result)) {
        std::fprintf(stderr, "zxmlpack: cannot write %s\n", output);
        return 1;
    }
    return 0;
}
