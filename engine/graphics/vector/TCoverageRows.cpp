#include "engine/graphics/vector/TCoverageRows.h"

#include <algorithm>

TCoverageRows::TCoverageRows() = default;

void TCoverageRows::AddCoverage(int buffer, int first, int end)
{
    // Quarter columns from the left end of the cells; the last cell keeps its neighbour
    // in range, so both ends are cut to [0, 4 * (kCells - 1)].
    constexpr int kLimit = 4 * (kCells - 1);
    const int a = std::clamp(first + 4 * kOriginCell, 0, kLimit);
    const int b = std::clamp(end + 4 * kOriginCell, 0, kLimit);
    if (b <= a || buffer < 0 || buffer >= kBuffers)
        return;
    TBuffer& rows = mBuffers[static_cast<size_t>(buffer)];
    const int cellA = a >> 2;
    const int cellB = b >> 2;
    rows.cells[static_cast<size_t>(cellA)] += 4 - (a & 3);
    rows.cells[static_cast<size_t>(cellA) + 1] += a & 3;
    rows.cells[static_cast<size_t>(cellB)] += (b & 3) - 4;
    rows.cells[static_cast<size_t>(cellB) + 1] -= b & 3;
    rows.lowest = std::min(rows.lowest, cellA);
    rows.highest = std::max(rows.highest, cellB + 1);
}
