#pragma once
// Pictures: JPEG, PNG, BMP and ICO decoding through the Windows Imaging Component, a picture control
// that draws a decoded picture at its natural size, and an image list built from pictures.
#include "ui/Control.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

// 32-bit premultiplied BGRA pixels, top row first.
struct TPixels {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Data;
    uint32_t At(int x, int y) const { return Data.at(static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)); }
};

// False for data that no installed decoder reads.
bool DecodeImage(const void* data, size_t size, TPixels& pixels);
// The bytes of a resource of type RCDATA; empty when absent.
std::string ResourceBytes(HINSTANCE module, const wchar_t* name);
// The decoded picture of an RCDATA resource, decoded once per process and kept (empty when it cannot be
// decoded; a failure is tried again on the next call).
const TPixels& ResourcePixels(HINSTANCE module, const wchar_t* name);
// Decodes every picture of the windows now (the decoders are looked up in the registry, so a process
// that redirects the registry decodes them before it does).
void PreloadPictures(HINSTANCE module);
// A top-down 32-bit DIB section holding the pixels (caller deletes); nullptr for an empty picture.
HBITMAP MakeBitmap(const TPixels& pixels);

class TPicture : public TControl {
public:
    ~TPicture() override;
    void Create(const TControlArgs& args);
    // Decodes and shows; false (and an empty picture) when the data cannot be decoded.
    bool LoadFromMemory(const std::string& bytes);
    bool LoadFromResource(HINSTANCE module, const wchar_t* name);
    void SetPixels(const TPixels& pixels);
    const TPixels& Pixels() const { return Pixels_; }
    bool Empty() const { return Pixels_.Data.empty(); }
    void SetBackColor(COLORREF color);
    // A picture lying under this one, drawn first where this one is transparent.
    void SetBackdrop(const TPicture* backdrop) { Backdrop_ = backdrop; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    TPixels Pixels_;
    HBITMAP Bitmap_ = nullptr;
    COLORREF BackColor_ = RGB(255, 255, 255);
    const TPicture* Backdrop_ = nullptr;
};

class TImageList {
public:
    TImageList(int width, int height);
    ~TImageList();
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;
    // Adds a picture (scaled to the list's size when it differs); returns its index or -1.
    int Add(const TPixels& pixels);
    int AddFromResource(HINSTANCE module, const wchar_t* name);
    int Count() const { return ImageList_GetImageCount(Handle_); }
    HIMAGELIST Handle() const { return Handle_; }

private:
    HIMAGELIST Handle_ = nullptr;
    int Width_;
    int Height_;
};
