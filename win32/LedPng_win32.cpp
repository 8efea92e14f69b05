// PNG-coded icon images, decoded by the Windows Imaging Component.

#include "Handles.h"
#include "LedImage.h"

#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

namespace led {

namespace {

using Microsoft::WRL::ComPtr;

void require(HRESULT result)
{
    if (FAILED(result))
        throw ImageError("PNG-Bild nicht lesbar");
}

} // namespace

Image decodePng(Bytes png)
{
    const win32::ComScope com;
    ComPtr<IWICImagingFactory> factory;
    require(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                             IID_PPV_ARGS(&factory)));
    ComPtr<IWICStream> stream;
    require(factory->CreateStream(&stream));
    // WIC only reads through the stream; the bytes stay untouched.
    require(stream->InitializeFromMemory(const_cast<BYTE*>(png.data()), DWORD(png.size())));
    ComPtr<IWICBitmapDecoder> decoder;
    require(factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, &decoder));
    require(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand));
    ComPtr<IWICBitmapFrameDecode> frame;
    require(decoder->GetFrame(0, &frame));
    ComPtr<IWICBitmapSource> bgra;
    require(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.Get(), &bgra));

    UINT width = 0, height = 0;
    require(bgra->GetSize(&width, &height));
    if (width == 0 || height == 0)
        throw ImageError("PNG-Bild nicht lesbar");
    // Little-endian BGRA is 0xAARRGGBB per pixel.
    Image image{int(width), int(height), std::vector<std::uint32_t>(std::size_t(width) * height)};
    require(bgra->CopyPixels(nullptr, width * 4, UINT(image.argb.size() * 4),
                             reinterpret_cast<BYTE*>(image.argb.data())));
    return image;
}

} // namespace led
