// A stand-in for another program's login form under Wine: one password field that accepts
// OLE drops and appends every dropped text, one UTF-8 line each, to the file named first.
// Usage: droptarget.exe LOG [x,y,w,h]

#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kFieldId = 100;
HWND field = nullptr;
FILE* logFile = nullptr;

FORMATETC textFormat(CLIPFORMAT format) {
    return {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool offersText(IDataObject* data) {
    FORMATETC unicode = textFormat(CF_UNICODETEXT), ansi = textFormat(CF_TEXT);
    return data->QueryGetData(&unicode) == S_OK || data->QueryGetData(&ansi) == S_OK;
}

// Asks for Unicode first; a source that only has ANSI text is read in the system code page.
bool readText(IDataObject* data, std::wstring& text) {
    for (CLIPFORMAT format : {CF_UNICODETEXT, CF_TEXT}) {
        FORMATETC wanted = textFormat(format);
        STGMEDIUM medium{};
        if (data->GetData(&wanted, &medium) != S_OK) continue;
        const void* bytes = medium.tymed == TYMED_HGLOBAL ? GlobalLock(medium.hGlobal) : nullptr;
        if (bytes && format == CF_UNICODETEXT) {
            text = static_cast<const wchar_t*>(bytes);
        } else if (bytes) {
            auto* ansi = static_cast<const char*>(bytes);
            text.assign(MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0), L'\0');
            MultiByteToWideChar(CP_ACP, 0, ansi, -1, text.data(), int(text.size()));
            text.resize(wcslen(text.c_str()));
        }
        if (bytes) GlobalUnlock(medium.hGlobal);
        ReleaseStgMedium(&medium);
        if (bytes) return true;
    }
    return false;
}

void logLine(const std::wstring& text) {
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), utf8.data(), int(utf8.size()), nullptr, nullptr);
    utf8 += '\n';
    std::fwrite(utf8.data(), 1, utf8.size(), logFile);
    std::fflush(logFile); // the harness reads the file while we run
}

// Copy is what a password field should get; move only when the source allows nothing else.
DWORD chooseEffect(DWORD allowed) {
    if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
    if (allowed & DROPEFFECT_MOVE) return DROPEFFECT_MOVE;
    return DROPEFFECT_NONE;
}

class FieldDropTarget final : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        acceptable_ = offersText(data);
        *effect = acceptable_ ? chooseEffect(*effect) : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = acceptable_ ? chooseEffect(*effect) : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        acceptable_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        std::wstring text;
        bool read = acceptable_ && readText(data, text);
        if (read) {
            SetWindowTextW(field, text.c_str());
            logLine(text);
        } else {
            std::fputs("<no data>\n", logFile);
            std::fflush(logFile);
        }
        // Telling the source nothing was taken keeps a move from deleting its text.
        *effect = read ? chooseEffect(*effect) : DROPEFFECT_NONE;
        acceptable_ = false;
        return S_OK;
    }

private:
    LONG refs_ = 1;
    bool acceptable_ = false;
};

// The field fills the client area so that a drop anywhere on the window lands in it.
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        MoveWindow(field, 8, 8, LOWORD(lParam) - 16, HIWORD(lParam) - 16, TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc < 2 || !(logFile = _wfopen(argv[1], L"ab"))) {
        std::fputs("usage: droptarget LOG [x,y,w,h]\n", stderr);
        return 2;
    }
    int x = 100, y = 100, w = 320, h = 120;
    if (argc > 2) swscanf(argv[2], L"%d,%d,%d,%d", &x, &y, &w, &h);
    if (FAILED(OleInitialize(nullptr))) return 1;

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"MirvaneDropTarget";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Drop Target", WS_OVERLAPPEDWINDOW, x, y, w, h,
                                  nullptr, nullptr, instance, nullptr);
    field = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_PASSWORD | ES_AUTOHSCROLL, 0, 0,
                            0, 0, window, reinterpret_cast<HMENU>(kFieldId), instance, nullptr);
    auto* target = new FieldDropTarget;
    if (!window || !field || FAILED(RegisterDragDrop(field, target))) return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    std::printf("ready %llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    std::fflush(stdout); // a pipe is fully buffered

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    RevokeDragDrop(field);
    target->Release();
    OleUninitialize();
    std::fclose(logFile);
    return 0;
}
