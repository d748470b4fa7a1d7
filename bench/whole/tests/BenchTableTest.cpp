#include "BenchTable.h"
#include "BenchReport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace nerith::bench {
namespace {

TEST(BenchTable, SecondsInTheUnitThatFitsWithThreeFigures) {
    const std::pair<double, const char*> cases[] = {
        {4.7912, "4.79 s"},   {12.34, "12.3 s"},    {0.0114, "11.4 ms"}, {0.001, "1.00 ms"},
        {0.000999, "999 us"}, {5.24e-5, "52.4 us"}, {0, "0.00 us"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(FormatSeconds(seconds), text) << seconds;
    }
}

TEST(BenchTable, RatiosAndThroughputRefuseZeroTimes) {
    EXPECT_EQ(FormatRatio(1, 4), "0.25x");
    EXPECT_EQ(FormatRatio(4.79, 4.76), "1.01x");
    EXPECT_EQ(FormatRatio(0, 4), "-");
    EXPECT_EQ(FormatRatio(4, 0), "-");
    EXPECT_EQ(FormatThroughput(8e6, 0.5), "16.0 MB/s");
    EXPECT_EQ(FormatThroughput(8e9, 0.5), "16.0 GB/s");
    EXPECT_EQ(FormatThroughput(8e6, 0), "-");
}

TEST(BenchTable, EveryLineHasTheSameColumnsAtTheSamePlaces) {
    const std::string table =
        FormatTable({{"a", "1.00 ms", "srec_cat 3.00 ms", "0.33x", "n"},
                     {"a much longer measure", "x", "y", "z", "a note with µ in it"}});
    std::istringstream lines(table);
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line)) {
        all.push_back(line);
    }
    ASSERT_EQ(all.size(), 4u);
    EXPECT_NE(all[0].find("| Measure"), std::string::npos);
    EXPECT_EQ(all[1].find_first_not_of("|- "), std::string::npos);
    for (const std::string& l : all) {
        EXPECT_EQ(std::count(l.begin(), l.end(), '|'), 6) << l;
    }
    // The bars line up when counted in characters, not bytes.
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].find('|', 1), all[0].find('|', 1)) << all[i];
    }
}

TEST(BenchReport, UpdateOverheadIsMeasuredAgainstWaitsPlusDeviceTime) {
    UpdateTiming update;
    update.device = 1.9;
    update.measured = kRequiredWaitSeconds + 1.9;
    EXPECT_NEAR(UpdateOverhead(update), 0, 1e-12);
    update.measured = (kRequiredWaitSeconds + 1.9) * 1.05;
    EXPECT_NEAR(UpdateOverhead(update), 0.05, 1e-12);
    update.measured = 3.0;
    update.device = 0;
    EXPECT_LT(UpdateOverhead(update), 0) << "faster than the waits it must make";
}

TEST(BenchReport, TheUpdateRowSaysWhetherTheOverheadIsUnderTheLimit) {
    BenchFigures figures;
    figures.update.device = 1.0;
    figures.update.measured = (kRequiredWaitSeconds + 1.0) * 1.01;
    const auto under = BenchRows(figures);
    figures.update.measured = (kRequiredWaitSeconds + 1.0) * 1.03;
    const auto over = BenchRows(figures);
    ASSERT_EQ(under.size(), 7u);
    EXPECT_NE(under[5].note.find("+1.00 %, under 2 %"), std::string::npos) << under[5].note;
    EXPECT_NE(over[5].note.find("NOT under"), std::string::npos) << over[5].note;
    EXPECT_NE(under[5].against.find("4.10 s"), std::string::npos) << under[5].against;
}

TEST(BenchReport, StartUpAndPeakRowsGivePageFaultsBesideTheirFigures) {
    BenchFigures figures;
    figures.startupRuns = 10;
    figures.startup.updater = 0.020;
    figures.startup.xmessage = 0.040;
    figures.startup.updaterFaults = 600;
    figures.startup.xmessageFaults = 500;
    figures.startup.updaterPeakKib = 8192;
    figures.startup.xmessagePeakKib = 5120;
    figures.update.peakKib = 9216;
    figures.update.faults = 1500;
    const auto rows = BenchRows(figures);
    ASSERT_EQ(rows.size(), 7u);
    const BenchRow& startup = rows[4];
    EXPECT_EQ(startup.ours, "nerith-update 20.0 ms, 600 page faults");
    EXPECT_EQ(startup.against, "xmessage 40.0 ms, 500 page faults");
    EXPECT_EQ(startup.ratio, "0.50x") << "the ratio is of the times";
    EXPECT_EQ(startup.note, "median of 10; minor faults 1.20x");
    const BenchRow& peak = rows[6];
    EXPECT_EQ(peak.ratio, "1.80x");
    EXPECT_NE(peak.note.find("8.0 MiB at its first frame, 1500 page faults"), std::string::npos)
        << peak.note;
}

} // namespace
} // namespace nerith::bench
