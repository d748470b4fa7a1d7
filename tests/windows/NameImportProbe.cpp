// A program that imports ISPdll.dll and OleLoadPicture by name, as a link against the usual
// import libraries would: the import check must refuse it.
#include "IspLibrary.h"
#include "platform/ole2.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    IPicture* picture = nullptr;
    if (::OleLoadPicture(nullptr, 0, FALSE, IID_IPicture, reinterpret_cast<void**>(&picture)) ==
        S_OK) {
        picture->Release();
    }
    return IspClose();
}
