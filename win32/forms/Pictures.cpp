#include "win32/forms/Pictures.h"

#include "core/SystemFunction.h"

#include <objbase.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <vector>

namespace {

// Releases a COM interface at the end of its scope.
template <class T> struct TComPointer {
    T* Pointer = nullptr;
    ~TComPointer() {
        if (Pointer != nullptr) {
            Pointer->Release();
        }
    }
    T** operator&() { return &Pointer; }
    T* operator->() const { return Pointer; }
};

// COM and memory streams, loaded when the first picture is decoded (a dialog's first
// showing), not at start.
struct TPictureLibraries {
    decltype(&CoInitializeEx) Initialize =
        SystemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    decltype(&CoUninitialize) Uninitialize =
        SystemFunction<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize");
    decltype(&CoCreateInstance) CreateInstance =
        SystemFunction<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    decltype(&SHCreateMemStream) MemoryStream =
        SystemFunction<decltype(&SHCreateMemStream)>(L"shlwapi.dll", "SHCreateMemStream");

    bool Loaded() const {
        return Initialize != nullptr && Uninitialize != nullptr && CreateInstance != nullptr &&
               MemoryStream != nullptr;
    }
};

const TPictureLibraries& PictureLibraries() {
    static const TPictureLibraries Libraries;
    return Libraries;
}

HBITMAP ToBitmap(IWICBitmapSource* source, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        return nullptr;
    }
    const UINT stride = static_cast<UINT>(width) * 4;
    if (FAILED(source->CopyPixels(nullptr, stride, stride * static_cast<UINT>(height),
                                  static_cast<BYTE*>(bits)))) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

} // namespace

HBITMAP DecodePictureResource(const wchar_t* name, int width, int height) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, name, MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (resource == nullptr) {
        return nullptr;
    }
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    const UINT size = SizeofResource(module, resource);
    const TPictureLibraries& com = PictureLibraries();
    if (!com.Loaded()) {
        return nullptr;
    }
    const HRESULT initialised = com.Initialize(nullptr, COINIT_APARTMENTTHREADED);
    HBITMAP bitmap = nullptr;
    {
        TComPointer<IWICImagingFactory> factory;
        TComPointer<IStream> stream;
        TComPointer<IWICBitmapDecoder> decoder;
        TComPointer<IWICBitmapFrameDecode> frame;
        TComPointer<IWICBitmapScaler> scaler;
        TComPointer<IWICFormatConverter> converter;
        stream.Pointer = com.MemoryStream(data, size);
        if (stream.Pointer != nullptr &&
            SUCCEEDED(com.CreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IWICImagingFactory,
                                         reinterpret_cast<void**>(&factory))) &&
            SUCCEEDED(factory->CreateDecoderFromStream(stream.Pointer, nullptr,
                                                       WICDecodeMetadataCacheOnDemand, &decoder)) &&
            SUCCEEDED(decoder->GetFrame(0, &frame)) &&
            SUCCEEDED(factory->CreateBitmapScaler(&scaler)) &&
            SUCCEEDED(scaler->Initialize(frame.Pointer, static_cast<UINT>(width),
                                         static_cast<UINT>(height),
                                         WICBitmapInterpolationModeFant)) &&
            SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
            SUCCEEDED(converter->Initialize(scaler.Pointer, GUID_WICPixelFormat32bppBGR,
                                            WICBitmapDitherTypeNone, nullptr, 0.0,
                                            WICBitmapPaletteTypeCustom))) {
            bitmap = ToBitmap(converter.Pointer, width, height);
        }
    }
    if (SUCCEEDED(initialised)) {
        com.Uninitialize();
    }
    return bitmap;
}
