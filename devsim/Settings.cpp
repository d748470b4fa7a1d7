#include "Settings.h"

#include "CarriedImagePath.h"
#include "SRecordFile.h"

#include <cerrno>
#include <cstdlib>

namespace devsim {

namespace {

// Parses a decimal or 0x-prefixed number within 0..limit.
bool ParseNumber(const std::string& text, unsigned long limit, unsigned long& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtoul(text.c_str(), &end, 0);
    return errno == 0 && end && *end == '\0' && value <= limit;
}

std::string ApplyImageVersion(NerithDevice& device, const std::string& value) {
    const auto comma = value.find(',');
    unsigned long high = 0;
    unsigned long low = 0;
    if (comma == std::string::npos || !ParseNumber(value.substr(0, comma), 255, high) ||
        !ParseNumber(value.substr(comma + 1), 255, low)) {
        return "image-version wants two bytes, e.g. 1,64";
    }
    return LoadCarriedImage(device, static_cast<int>(high), static_cast<int>(low));
}

std::string ApplyFlashFile(NerithDevice& device, const std::string& path) {
    FlashMemory flash;
    std::string error;
    if (!LoadSRecordFile(path, flash, error)) {
        return error;
    }
    device.Flash() = flash;
    return "";
}

bool ParseBlockFault(const std::string& value, const char* prefix, std::optional<unsigned>& fault) {
    const std::string p = prefix;
    unsigned long block = 0;
    if (value.rfind(p, 0) != 0 || !ParseNumber(value.substr(p.size()), 1u << 20, block)) {
        return false;
    }
    fault = static_cast<unsigned>(block);
    return true;
}

std::string ApplyFault(Faults& faults, const std::string& value) {
    if (value == "no-device") {
        faults.noDevice = true;
    } else if (value == "register-refused") {
        faults.registerRefused = true;
    } else if (value == "icp-refused") {
        faults.icpRefused = true;
    } else if (value == "no-answer") {
        faults.neverAnswers = true;
    } else if (value == "erase") {
        faults.eraseFails = true;
    } else if (value == "vanish-erase") {
        faults.vanishesAtErase = true;
    } else if (!ParseBlockFault(value, "verify-at:", faults.verifyFailsAt) &&
               !ParseBlockFault(value, "program-at:", faults.programFailsAt) &&
               !ParseBlockFault(value, "mcu-refuses-program-at:", faults.programRefusedAt) &&
               !ParseBlockFault(value, "vanish-at:", faults.vanishesAt) &&
               !ParseBlockFault(value, "vanish-verify-at:", faults.vanishesAtVerify) &&
               !ParseBlockFault(value, "freeze-at:", faults.freezesAt)) {
        return "unknown fault '" + value + "'";
    }
    return "";
}

std::string ApplyAnswerAfter(Faults& faults, const std::string& value) {
    unsigned long tries = 0;
    if (!ParseNumber(value, 1000000, tries)) {
        return "answer-after wants a count of tries";
    }
    faults.answerAfter = static_cast<int>(tries);
    return "";
}

std::string ApplyVersionForm(NerithDevice& device, const std::string& value) {
    if (value != "first" && value != "second") {
        return "version-form is first or second";
    }
    device.SetVersionForm(value == "first" ? VersionForm::First : VersionForm::Second);
    return "";
}

std::string ApplyTiming(NerithDevice& device, const std::string& value) {
    if (value != "on" && value != "off") {
        return "timing is on or off";
    }
    device.Timing().Enable(value == "on");
    return "";
}

} // namespace

std::string LoadCarriedImage(NerithDevice& device, int versionHigh, int versionLow) {
    if (std::string error = ApplyFlashFile(device, CarriedImagePath()); !error.empty()) {
        return error;
    }
    device.Flash().Load(NerithDevice::kVersionAddress, static_cast<std::uint8_t>(versionHigh));
    device.Flash().Load(NerithDevice::kVersionAddress + 1, static_cast<std::uint8_t>(versionLow));
    return "";
}

std::string ApplySetting(NerithDevice& device, const std::string& key, const std::string& value) {
    if (key == "flash") {
        return ApplyFlashFile(device, value);
    }
    if (key == "image-version") {
        return ApplyImageVersion(device, value);
    }
    if (key == "version-form") {
        return ApplyVersionForm(device, value);
    }
    if (key == "fault") {
        return ApplyFault(device.InjectedFaults(), value);
    }
    if (key == "clear-faults") {
        device.InjectedFaults() = Faults{};
        return "";
    }
    if (key == "answer-after") {
        return ApplyAnswerAfter(device.InjectedFaults(), value);
    }
    if (key == "timing") {
        return ApplyTiming(device, value.empty() ? "on" : value);
    }
    return "unknown setting '" + key + "'";
}

} // namespace devsim
