#include "BenchTable.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace nerith::bench {

namespace {

using Cells = std::array<std::string, 5>;

std::string ThreeFigures(double value) {
    char text[32];
    const int decimals = value >= 100 ? 0 : value >= 10 ? 1 : 2;
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

std::string ThreeFigures(double value, const char* unit) {
    return ThreeFigures(value) + " " + unit;
}

Cells CellsOf(const BenchRow& row) {
    return {row.what, row.ours, row.against, row.ratio, row.note};
}

// Characters as a reader counts them: UTF-8 continuation bytes take no column.
std::size_t Columns(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string Line(const Cells& cells, const std::array<std::size_t, 5>& widths) {
    std::string line = "|";
    for (std::size_t i = 0; i < cells.size(); ++i) {
        line += " " + cells[i] + std::string(widths[i] - Columns(cells[i]), ' ') + " |";
    }
    return line + "\n";
}

} // namespace

std::string FormatSeconds(double seconds) {
    if (seconds >= 1) {
        return ThreeFigures(seconds, "s");
    }
    if (seconds >= 1e-3) {
        return ThreeFigures(seconds * 1e3, "ms");
    }
    return ThreeFigures(seconds * 1e6, "us");
}

std::string FormatThroughput(double bytes, double seconds) {
    if (seconds <= 0) {
        return "-";
    }
    const double megabytes = bytes / seconds / 1e6;
    return megabytes >= 1000 ? ThreeFigures(megabytes / 1e3, "GB/s")
                             : ThreeFigures(megabytes, "MB/s");
}

std::string FormatRatio(double ours, double against) {
    if (ours <= 0 || against <= 0) {
        return "-";
    }
    return ThreeFigures(ours / against) + "x";
}

std::string FormatTable(const std::vector<BenchRow>& rows) {
    const Cells header{"Measure", "Nerith", "Against", "Ratio", "Note"};
    std::array<std::size_t, 5> widths{};
    for (std::size_t i = 0; i < widths.size(); ++i) {
        widths[i] = Columns(header[i]);
        for (const BenchRow& row : rows) {
            widths[i] = std::max(widths[i], Columns(CellsOf(row)[i]));
        }
    }
    Cells rule;
    for (std::size_t i = 0; i < rule.size(); ++i) {
        rule[i] = std::string(widths[i], '-');
    }
    std::string table = Line(header, widths) + Line(rule, widths);
    for (const BenchRow& row : rows) {
        table += Line(CellsOf(row), widths);
    }
    return table;
}

} // namespace nerith::bench
