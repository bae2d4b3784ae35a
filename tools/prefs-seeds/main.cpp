// Writes the seed corpus of the preferences reader's fuzz target: chunk files and the
// older XML form, built through TPrefs itself so they follow the real formats.
// usage: prefs-seeds FOLDER   (the corpus lives in fuzz/corpus/prefs/)
#include "engine/foundation/prefs/EncryptionWrapper.h"
#include "engine/foundation/prefs/TPrefs.h"
#include "engine/foundation/xml/TXmlNode.h"
#include "tools/support/ToolFiles.h"
#include "tools/support/ToolMain.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const TToolHelp kHelp{
    "prefs-seeds", "FOLDER",
    "Writes the seed files of the preferences fuzz target: chunk files and the older XML "
    "form, made by the engine's own preferences.",
    "  FOLDER              where the seeds go (fuzz/corpus/prefs); made when missing\n"};

// The key the fuzz target reads with: the game's own.
const char* const kKey = "tqzrwvxkMJHP";

bool WriteSeed(const std::string& folder, const char* name, const void* data, size_t size)
{
    return WriteOutputFile("prefs-seeds", folder + "/" + name,
                           std::string(static_cast<const char*>(data), size));
}

bool WriteImage(const std::string& folder, const char* name, TPrefs& prefs)
{
    std::vector<uint8_t> image = prefs.BuildFileImage();
    return WriteSeed(folder, name, image.data(), image.size());
}

TString LegacyInner()
{
    TXmlNode root;
    TXmlNode* install = root.AddChild("install");
    install->SetAttribute("hvinstallkey", "velmora");
    install->AddChild("user")->SetAttribute("currentuser", "Mira");
    install->AddChild("user")->SetAttribute("name", "Mira");
    return root.ToString();
}

TString LegacySealed()
{
    TString inner = LegacyInner();
    EncryptionWrapper cipher;
    cipher.Init(kKey);
    std::vector<char> sealed(
        cipher.Encrypt(inner.CStr(), size_t(inner.Length()), nullptr, 0, true));
    cipher.Encrypt(inner.CStr(), size_t(inner.Length()), sealed.data(), sealed.size(), true);
    TXmlNode root;
    root.AddChild("data1")->SetAttribute("data", sealed.data());
    root.AddChild("data2")->SetAttribute(
        "data", TString::Printf("%d", int32_t(TPrefs::LegacyChecksum(inner))));
    return root.ToString();
}

int WriteSeeds(int argc, char** argv)
{
    if (argc != 2)
        return UsageError(kHelp);
    std::string folder = argv[1];
    if (!MakeOutputFolder("prefs-seeds", folder))
        return 1;
    bool ok = true;

    TPrefs small(false, kKey, "velmora");
    small.SetString("currentuser", "Mira");
    small.SetInt("level", 3, 0);
    ok &= WriteImage(folder, "chunks-small", small);

    TPrefs several(false, kKey, "velmora");
    const char record[] = {1, 0, 2, 0, 3, 0, 0, 0};
    several.SetBinary("userdata", record, int(sizeof(record)), 1);
    several.SetString("hs0", "Mira|1200", 2);
    TPrefs other(false, kKey, "other");
    other.SetString("x", "1");
    std::vector<uint8_t> first = several.BuildFileImage();
    std::vector<uint8_t> second = other.BuildFileImage();
    first.insert(first.end(), second.begin(), second.end());
    ok &= WriteSeed(folder, "chunks-sections", first.data(), first.size());

    TString sealed = LegacySealed();
    ok &= WriteSeed(folder, "legacy-sealed.xml", sealed.CStr(), size_t(sealed.Length()));
    TString plain = LegacyInner();
    ok &= WriteSeed(folder, "legacy-plain.xml", plain.CStr(), size_t(plain.Length()));
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &WriteSeeds);
}
