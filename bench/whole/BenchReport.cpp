#include "BenchReport.h"

#include <cstdio>

namespace nerith::bench {

namespace {

std::string Printf(const char* format, double a, double b = 0) {
    char text[128];
    std::snprintf(text, sizeof(text), format, a, b);
    return text;
}

std::string WithThroughput(double seconds, double bytes) {
    return FormatSeconds(seconds) + " (" + FormatThroughput(bytes, seconds) + ")";
}

std::string Mib(long kib) {
    return Printf("%.1f MiB", static_cast<double>(kib) / 1024);
}

std::string Faults(double count) {
    return Printf("%.0f page faults", count);
}

BenchRow StartupRow(const StartupComparison& s, int runs) {
    return {"Start-up, exec to first frame on Xvfb",
            "nerith-update " + FormatSeconds(s.updater) + ", " + Faults(s.updaterFaults),
            "xmessage " + FormatSeconds(s.xmessage) + ", " + Faults(s.xmessageFaults),
            FormatRatio(s.updater, s.xmessage),
            "median of " + std::to_string(runs) + "; minor faults " +
                FormatRatio(s.updaterFaults, s.xmessageFaults)};
}

BenchRow PeakRow(const UpdateTiming& update, const StartupComparison& startup) {
    return {"Peak resident memory during an update (VmHWM)", "nerith-update " + Mib(update.peakKib),
            "xmessage " + Mib(startup.xmessagePeakKib),
            FormatRatio(static_cast<double>(update.peakKib),
                        static_cast<double>(startup.xmessagePeakKib)),
            "xmessage once it shows; nerith-update " + Mib(startup.updaterPeakKib) +
                " at its first frame, " + Faults(update.faults) + " to the notice"};
}

BenchRow ReaderRow(const std::string& name, double bytes, const ReaderComparison& c,
                   double inProcess, int runs) {
    const std::string size =
        bytes >= 1e6 ? Printf("%.1f MB", bytes / 1e6) : Printf("%.1f KB", bytes / 1e3);
    return {"S-record file to 64 KiB image, " + name + " (" + size + "), whole process",
            WithThroughput(c.ours, bytes), "srec_cat " + WithThroughput(c.srecCat, bytes),
            FormatRatio(c.ours, c.srecCat),
            "median of " + std::to_string(runs) + "; ReadS19File in process " +
                WithThroughput(inProcess, bytes)};
}

BenchRow RegionRow(const std::string& mask, double region, double copy, double bytes) {
    return {"Window region from mask " + mask, "BuildRegionFromBitmap " + FormatSeconds(region),
            "memcpy of its DIB " + WithThroughput(copy, bytes), FormatRatio(region, copy),
            "times one read of the pixels"};
}

} // namespace

double UpdateOverhead(const UpdateTiming& update) {
    const double limit = kRequiredWaitSeconds + update.device;
    return limit > 0 ? update.measured / limit - 1 : 0;
}

std::vector<BenchRow> BenchRows(const BenchFigures& f) {
    const InProcessFigures& in = f.inProcess;
    const double skinBytes = 4.0 * in.skinMask.cx * in.skinMask.cy;
    const double fullHdBytes = 4.0 * 1920 * 1080;
    const double limit = kRequiredWaitSeconds + f.update.device;
    const double overhead = UpdateOverhead(f.update);
    return {
        ReaderRow("carried image", static_cast<double>(f.carriedBytes), f.carried, in.readCarried,
                  f.readerRuns),
        ReaderRow("generated S1 file", static_cast<double>(f.largeBytes), f.large, in.readLarge,
                  f.readerRuns),
        RegionRow("1021 (" + std::to_string(in.skinMask.cx) + "x" + std::to_string(in.skinMask.cy) +
                      ")",
                  in.regionSkinMask, in.copySkinMask, skinBytes),
        RegionRow("1920x1080", in.regionFullHd, in.copyFullHd, fullHdBytes),
        StartupRow(f.startup, f.startupRuns),
        {"Whole update, OK to success notice, HC908 timing", FormatSeconds(f.update.measured),
         "limit " + FormatSeconds(limit) + " (waits " + FormatSeconds(kRequiredWaitSeconds) +
             " + device " + FormatSeconds(f.update.device) + ")",
         FormatRatio(f.update.measured, limit),
         Printf("overhead %+.2f %%, ", overhead * 100) +
             (overhead < kUpdateOverheadLimit ? "under" : "NOT under") + " 2 %; median of " +
             std::to_string(f.updateRuns)},
        PeakRow(f.update, f.startup),
    };
}

} // namespace nerith::bench
