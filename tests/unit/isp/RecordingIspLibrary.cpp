#include "RecordingIspLibrary.h"

#include "IspLibrary.h"
#include "platform/user32.h"

namespace nerith::test {

IspRecorder& Recorder() {
    static IspRecorder recorder;
    return recorder;
}

void ResetRecorder() {
    Recorder() = IspRecorder{};
}

std::vector<IspCall> IspRecorder::CallsNamed(const std::string& name) const {
    std::vector<IspCall> named;
    for (const IspCall& call : calls) {
        if (call.name == name) {
            named.push_back(call);
        }
    }
    return named;
}

std::vector<std::string> IspRecorder::Names() const {
    std::vector<std::string> names;
    for (const IspCall& call : calls) {
        names.push_back(call.name);
    }
    return names;
}

std::vector<WPARAM> IspRecorder::Progress() const {
    std::vector<WPARAM> progress;
    for (const SentMessage& m : messages) {
        progress.push_back(m.wParam);
    }
    return progress;
}

} // namespace nerith::test

using nerith::test::Recorder;

namespace {

int BlockCall(const char* name, std::vector<DWORD> args, BYTE* image, BYTE* pageMap, int& counter,
              const std::function<int(int)>& result) {
    Recorder().calls.push_back({name, std::move(args)});
    Recorder().imageAndMapPassed = Recorder().imageAndMapPassed && image && pageMap;
    return result(counter++);
}

} // namespace

extern "C" int WINAPI IspOpen(DWORD p1, DWORD p2, DWORD p3, DWORD start, DWORD last, DWORD vector,
                              DWORD p7, BYTE p8, BYTE p9, DWORD whole) {
    Recorder().calls.push_back({"IspOpen", {p1, p2, p3, start, last, vector, p7, p8, p9, whole}});
    return Recorder().script.open(Recorder().opens++);
}

extern "C" int WINAPI IspClose() {
    Recorder().calls.push_back({"IspClose", {}});
    return 0;
}

extern "C" int WINAPI IspProgramBlock(DWORD b, DWORD bh, DWORD e, DWORD eh, DWORD n, DWORD nh,
                                      DWORD size, BYTE* image, BYTE* pageMap, DWORD*) {
    return BlockCall("IspProgramBlock", {b, bh, e, eh, n, nh, size}, image, pageMap,
                     Recorder().programBlocks, Recorder().script.programBlock);
}

extern "C" int WINAPI IspVerifyBlock(DWORD b, DWORD bh, DWORD e, DWORD eh, DWORD n, DWORD nh,
                                     DWORD size, BYTE* image, BYTE* pageMap, DWORD*) {
    return BlockCall("IspVerifyBlock", {b, bh, e, eh, n, nh, size}, image, pageMap,
                     Recorder().verifyBlocks, Recorder().script.verifyBlock);
}

extern "C" int WINAPI IspEraseRange(DWORD fl, DWORD fh, DWORD ll, DWORD lh, DWORD size, DWORD*) {
    Recorder().calls.push_back({"IspEraseRange", {fl, fh, ll, lh, size}});
    return Recorder().script.eraseRange;
}

extern "C" int WINAPI IspMassErase(DWORD a, DWORD b, DWORD*) {
    Recorder().calls.push_back({"IspMassErase", {a, b}});
    return Recorder().script.massErase;
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Recorder().messages.push_back({hWnd, Msg, wParam, lParam});
    return 0;
}
