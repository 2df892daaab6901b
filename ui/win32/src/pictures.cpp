#include "ui/win32/pictures.h"

#include <wincodec.h>

#include <string>

namespace ui::win32 {
namespace {

// Holds one COM reference and releases it.
template <class T>
class Com {
 public:
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p_) p_->Release();
  }
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

// The resource of the picture file `name`: upper case, "_" for every other character, as
// CMakeLists.txt names them.
std::wstring ResourceName(const std::string& name) {
  std::wstring id;
  for (char c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    id += (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? static_cast<wchar_t>(c) : L'_';
  }
  return id;
}

// The bytes of the RCDATA resource `name`; empty when the program has none by that name.
std::basic_string_view<BYTE> Resource(const std::string& name) {
  HRSRC found = ::FindResourceW(nullptr, ResourceName(name).c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (found == nullptr) return {};
  HGLOBAL loaded = ::LoadResource(nullptr, found);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  return {static_cast<const BYTE*>(bytes), ::SizeofResource(nullptr, found)};
}

platform::Pixels Decode(std::basic_string_view<BYTE> png) {
  Com<IWICImagingFactory> factory;
  Com<IWICStream> stream;
  Com<IWICBitmapDecoder> decoder;
  Com<IWICBitmapFrameDecode> frame;
  Com<IWICFormatConverter> converter;
  UINT width = 0, height = 0;
  if (png.empty() ||
      FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.out()))) ||
      FAILED(factory->CreateStream(stream.out())) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(png.data()), static_cast<DWORD>(png.size()))) ||
      FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.out())) ||
      FAILED(decoder->GetFrame(0, frame.out())) || FAILED(factory->CreateFormatConverter(converter.out())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                   WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0)
    return {};
  platform::Pixels pixels;
  pixels.width = static_cast<int>(width);
  pixels.height = static_cast<int>(height);
  pixels.argb.resize(std::size_t{width} * height);
  // 32bppBGRA in memory is 0xAARRGGBB in a little-endian word, as Pixels holds it.
  if (FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                   reinterpret_cast<BYTE*>(pixels.argb.data()))))
    return {};
  return pixels;
}

}  // namespace

platform::Pixels LoadPicture(const char* name, int scale) {
  if (scale >= 2) {
    std::string dense = name;
    dense.insert(dense.rfind('.'), "@2x");
    platform::Pixels pixels = Decode(Resource(dense));
    if (!pixels.empty()) {
      pixels.pixelRatio = 2;
      return pixels;
    }
  }
  return Decode(Resource(name));
}

BITMAPINFO DibInfo(const platform::Pixels& pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

HBITMAP ToBitmap(const platform::Pixels& pixels) {
  if (pixels.empty()) return nullptr;
  BITMAPINFO info = DibInfo(pixels);
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr) std::copy(pixels.argb.begin(), pixels.argb.end(), static_cast<std::uint32_t*>(bits));
  return bitmap;
}

HCURSOR LoadPointer(const char* name, int scale, int x, int y) {
  const platform::Pixels pixels = LoadPicture(name, scale);
  HBITMAP colour = ToBitmap(pixels);
  if (colour == nullptr) return nullptr;
  // With a 32-bit colour bitmap the alpha channel shapes the pointer; the mask is unused.
  HBITMAP mask = ::CreateBitmap(pixels.width, pixels.height, 1, 1, nullptr);
  ICONINFO icon{};
  icon.fIcon = FALSE;
  icon.xHotspot = static_cast<DWORD>(x * pixels.pixelRatio);
  icon.yHotspot = static_cast<DWORD>(y * pixels.pixelRatio);
  icon.hbmMask = mask;
  icon.hbmColor = colour;
  HCURSOR cursor = ::CreateIconIndirect(&icon);
  ::DeleteObject(mask);
  ::DeleteObject(colour);
  return cursor;
}

}  // namespace ui::win32
