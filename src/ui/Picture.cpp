#include "ui/Picture.h"
#include "ui/WindowClass.h"

#include "ui/Create.h"
#include "ui/Pictures.h"

#include <objbase.h>
#include <wincodec.h>

#include <map>
#include <mutex>

namespace {

const wchar_t kPictureClass[] = L"BrisfoldPicture";

template <class T> struct ComPtr {
    T* P = nullptr;
    ~ComPtr()
    {
        if (P)
            P->Release();
    }
    T** operator&() { return &P; }
    T* operator->() const { return P; }
};

// COM stays initialised for the duration of one decode; balanced even when it already was.
struct ComScope {
    HRESULT Result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComScope()
    {
        if (SUCCEEDED(Result))
            CoUninitialize();
    }
};

} // namespace

bool DecodeImage(const void* data, size_t size, TPixels& pixels)
{
    pixels = TPixels{};
    if (!data || size == 0 || size > 0x7FFFFFFF)
        return false;
    ComScope com;
    bool ok = false;
    {
        ComPtr<IWICImagingFactory> factory;
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(&factory))))
            return false;
        ComPtr<IWICStream> stream;
        ComPtr<IWICBitmapDecoder> decoder;
        ComPtr<IWICBitmapFrameDecode> frame;
        ComPtr<IWICFormatConverter> converter;
        UINT width = 0, height = 0;
        if (SUCCEEDED(factory->CreateStream(&stream)) &&
            SUCCEEDED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), static_cast<DWORD>(size))) &&
            SUCCEEDED(factory->CreateDecoderFromStream(stream.P, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
            SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
            SUCCEEDED(converter->Initialize(frame.P, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                            0.0, WICBitmapPaletteTypeCustom)) &&
            SUCCEEDED(converter->GetSize(&width, &height)) && width > 0 && height > 0 && width <= 16384 &&
            height <= 16384) {
            pixels.Width = static_cast<int>(width);
            pixels.Height = static_cast<int>(height);
            pixels.Data.resize(static_cast<size_t>(width) * height);
            ok = SUCCEEDED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.Data.size() * 4),
                                                 reinterpret_cast<BYTE*>(pixels.Data.data())));
        }
    }
    if (!ok)
        pixels = TPixels{};
    return ok;
}

std::string ResourceBytes(HINSTANCE module, const wchar_t* name)
{
    HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD size = SizeofResource(module, found);
    return bytes ? std::string(static_cast<const char*>(bytes), size) : std::string();
}

const TPixels& ResourcePixels(HINSTANCE module, const wchar_t* name)
{
    static std::mutex lock;
    static std::map<std::pair<HINSTANCE, std::wstring>, TPixels> cache;
    std::lock_guard<std::mutex> guard(lock);
    TPixels& pixels = cache[{module, name}];
    if (pixels.Data.empty()) {
        std::string bytes = ResourceBytes(module, name);
        DecodeImage(bytes.data(), bytes.size(), pixels);
    }
    return pixels;
}

void PreloadPictures(HINSTANCE module)
{
    for (const wchar_t* name : {kPicBanner, kPicLogo, kPicFlag, kPicRowSpyware, kPicRowRegistry, kPicRowPrivacy,
                                kPicRowJunk, kPicHeaderSpyware, kPicHeaderRegistry})
        ResourcePixels(module, name);
    for (const wchar_t* name : kPicListIcons)
        ResourcePixels(module, name);
}

HBITMAP MakeBitmap(const TPixels& pixels)
{
    if (pixels.Data.empty())
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = pixels.Width;
    info.bmiHeader.biHeight = -pixels.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits)
        memcpy(bits, pixels.Data.data(), pixels.Data.size() * 4);
    return bitmap;
}

// TPicture

TPicture::~TPicture()
{
    if (Bitmap_)
        DeleteObject(Bitmap_);
}

LRESULT CALLBACK TPicture::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT result = 0; ReflectToControl(message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (auto* self = static_cast<TPicture*>(TControl::FromHandle(window)))
            self->Paint(dc);
        EndPaint(window, &ps);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void TPicture::Create(const TControlArgs& args)
{
    RegisterWindowClass({.Name = kPictureClass, .Proc = WindowProc, .ArrowCursor = false, .ReflectsControls = true});
    CreateControl(kPictureClass, 0, args);
}

bool TPicture::LoadFromMemory(const std::string& bytes)
{
    if (Bitmap_) {
        DeleteObject(Bitmap_);
        Bitmap_ = nullptr;
    }
    bool ok = DecodeImage(bytes.data(), bytes.size(), Pixels_);
    Bitmap_ = MakeBitmap(Pixels_);
    if (Handle_)
        InvalidateRect(Handle_, nullptr, TRUE);
    return ok;
}

bool TPicture::LoadFromResource(HINSTANCE module, const wchar_t* name)
{
    SetPixels(ResourcePixels(module, name));
    return !Empty();
}

void TPicture::SetPixels(const TPixels& pixels)
{
    if (Bitmap_) {
        DeleteObject(Bitmap_);
        Bitmap_ = nullptr;
    }
    Pixels_ = pixels;
    Bitmap_ = MakeBitmap(Pixels_);
    if (Handle_)
        InvalidateRect(Handle_, nullptr, TRUE);
}

void TPicture::SetBackColor(COLORREF color)
{
    BackColor_ = color;
    InvalidateRect(Handle_, nullptr, TRUE);
}

void TPicture::Paint(HDC dc)
{
    RECT r;
    GetClientRect(Handle_, &r);
    HBRUSH brush = CreateSolidBrush(BackColor_);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    HDC memory = CreateCompatibleDC(dc);
    if (Backdrop_ && Backdrop_->Bitmap_ && Backdrop_->Handle_) {
        RECT mine = BoundsInParent(), under = Backdrop_->BoundsInParent();
        int underWidth = under.right - under.left, underHeight = under.bottom - under.top;
        if (underWidth > 0 && underHeight > 0) {
            const TPixels& p = Backdrop_->Pixels_;
            HGDIOBJ old = SelectObject(memory, Backdrop_->Bitmap_);
            int sx = MulDiv(mine.left - under.left, p.Width, underWidth);
            int sy = MulDiv(mine.top - under.top, p.Height, underHeight);
            int sw = MulDiv(r.right, p.Width, underWidth), sh = MulDiv(r.bottom, p.Height, underHeight);
            BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            AlphaBlend(dc, 0, 0, r.right, r.bottom, memory, sx, sy, sw, sh, blend);
            SelectObject(memory, old);
        }
    }
    if (!Bitmap_) {
        DeleteDC(memory);
        return;
    }
    HGDIOBJ old = SelectObject(memory, Bitmap_);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // Pictures are designed at 96 DPI and drawn at the control's scaled size.
    AlphaBlend(dc, 0, 0, r.right, r.bottom, memory, 0, 0, Pixels_.Width, Pixels_.Height, blend);
    SelectObject(memory, old);
    DeleteDC(memory);
}

// TImageList

TImageList::TImageList(int width, int height) : Width_(width), Height_(height)
{
    Handle_ = ImageList_Create(width, height, ILC_COLOR32, 8, 4);
}

TImageList::~TImageList()
{
    if (Handle_)
        ImageList_Destroy(Handle_);
}

int TImageList::Add(const TPixels& pixels)
{
    if (pixels.Data.empty())
        return -1;
    TPixels sized;
    const TPixels* source = &pixels;
    if (pixels.Width != Width_ || pixels.Height != Height_) {
        // Nearest-neighbour is enough for the small icons this holds.
        sized.Width = Width_;
        sized.Height = Height_;
        sized.Data.resize(static_cast<size_t>(Width_) * Height_);
        for (int y = 0; y < Height_; ++y)
            for (int x = 0; x < Width_; ++x)
                sized.Data[static_cast<size_t>(y) * Width_ + x] =
                    pixels.At(x * pixels.Width / Width_, y * pixels.Height / Height_);
        source = &sized;
    }
    HBITMAP bitmap = MakeBitmap(*source);
    int index = ImageList_Add(Handle_, bitmap, nullptr);
    DeleteObject(bitmap);
    return index;
}

int TImageList::AddFromResource(HINSTANCE module, const wchar_t* name)
{
    return Add(ResourcePixels(module, name));
}
