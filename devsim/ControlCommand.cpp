#include "ControlCommand.h"

#include "SRecordFile.h"
#include "Settings.h"

#include <cstdlib>
#include <fstream>

namespace devsim {

namespace {

ControlResult Ok(const std::string& detail = "") {
    return {detail.empty() ? "ok" : "ok " + detail, ControlResult::Action::None};
}

ControlResult Error(const std::string& what) {
    return {"error: " + what, ControlResult::Action::None};
}

ControlResult State(NerithDevice& device) {
    const bool firmware = device.CurrentMode() == Mode::Firmware;
    return Ok(std::string("mode=") + (firmware ? "firmware" : "programming") +
              " plugged=" + (device.InjectedFaults().noDevice ? "0" : "1") +
              " semaphore=" + (device.SemaphoreRegistered() ? "1" : "0") +
              " events=" + std::to_string(device.PendingEvents()) +
              " version=" + std::to_string(device.Flash().At(NerithDevice::kVersionAddress)) + "," +
              std::to_string(device.Flash().At(NerithDevice::kVersionAddress + 1)));
}

ControlResult Stats(NerithDevice& device) {
    std::string text;
    for (const auto& [name, count] : device.Stats()) {
        text += (text.empty() ? "" : " ") + name + "=" + std::to_string(count);
    }
    return Ok(text);
}

ControlResult Event(NerithDevice& device, const std::string& value) {
    char* end = nullptr;
    const unsigned long long word = std::strtoull(value.c_str(), &end, 0);
    if (value.empty() || value[0] == '-' || !end || *end != '\0' || word > 0xFFFFFFFFull) {
        return Error("event wants a 32-bit word");
    }
    const std::string problem = device.EmitEvent(static_cast<std::uint32_t>(word));
    return problem.empty() ? Ok() : Error(problem);
}

ControlResult DumpBinary(NerithDevice& device, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const auto bytes = device.Flash().Bytes();
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return out ? Ok() : Error("cannot write " + path);
}

ControlResult DumpSRecords(NerithDevice& device, const std::string& path) {
    std::string error;
    return WriteSRecordFile(path, device.Flash(), error) ? Ok() : Error(error);
}

} // namespace

ControlResult RunControlCommand(NerithDevice& device, const std::string& line) {
    const auto space = line.find(' ');
    const std::string command = line.substr(0, space);
    const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
    if (command == "state") {
        return State(device);
    }
    if (command == "stats") {
        return Stats(device);
    }
    if (command == "timed") {
        return Ok("us=" + std::to_string(device.Timing().ChargedMicroseconds()));
    }
    if (command == "replug") {
        return {"ok", ControlResult::Action::Replug};
    }
    if (command == "unplug") {
        device.InjectedFaults().noDevice = true;
        return Ok();
    }
    if (command == "event") {
        return Event(device, argument);
    }
    if (command == "dump-bin" && !argument.empty()) {
        return DumpBinary(device, argument);
    }
    if (command == "dump-s19" && !argument.empty()) {
        return DumpSRecords(device, argument);
    }
    if (command == "stop") {
        return {"ok", ControlResult::Action::Stop};
    }
    const std::string problem = ApplySetting(device, command, argument);
    return problem.empty() ? Ok() : Error(problem);
}

} // namespace devsim
