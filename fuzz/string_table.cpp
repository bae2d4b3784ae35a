// The string-table loader (plain or packed), then labels expanded with arguments that
// exercise each placeholder rule, and the Flash label walk.
#include "engine/foundation/xml/TStringTable.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

constexpr int kMaxExpanded = 64; // keeps one input quick

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TStringTable table;
    table.LoadText(reinterpret_cast<const char*>(data), size, "fuzz");
    std::vector<std::pair<TString, TString>> labels;
    table.GetFlashLabels(labels);
    const TString arguments[] = {"%windowtitle%", "%%", "plain", "%", "%1%"};
    int expanded = 0;
    for (const auto& [label, text] : table.GetEntries()) {
        if (++expanded > kMaxExpanded) {
            break;
        }
        table.Substitute(label, TStringTable::kMaxArguments, arguments);
        table.Substitute(label, 1, arguments);
        table.GetString(label);
    }
    return 0;
}
