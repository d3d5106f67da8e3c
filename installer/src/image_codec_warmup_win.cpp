#include "velko/installer/image_codec_warmup.h"

#include <initguid.h>  // the imaging GUIDs defined here, not looked for in an import library
#include <objbase.h>
#include <wincodec.h>

namespace velko::installer {
namespace {

// The smallest complete PNG: one transparent pixel, one compressed data block.
constexpr unsigned char kOnePixelPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4,
    0x89, 0x00, 0x00, 0x00, 0x0B, 0x49, 0x44, 0x41, 0x54, 0x78, 0xDA, 0x63, 0x60, 0x00, 0x02, 0x00,
    0x00, 0x05, 0x00, 0x01, 0xE9, 0xFA, 0xDC, 0xD8, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44,
    0xAE, 0x42, 0x60, 0x82};

bool DecodeOnePixel(IWICImagingFactory& factory) {
  IWICStream* stream = nullptr;
  if (FAILED(factory.CreateStream(&stream))) return false;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  BYTE pixel[4] = {1, 1, 1, 1};
  const bool decoded =
      SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(kOnePixelPng), sizeof kOnePixelPng)) &&
      SUCCEEDED(factory.CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->CopyPixels(nullptr, 4, sizeof pixel, pixel));
  if (frame != nullptr) frame->Release();
  if (decoder != nullptr) decoder->Release();
  stream->Release();
  return decoded && pixel[3] == 0;  // the pixel is fully transparent
}

DWORD WINAPI WarmUp(void*) {
  WarmImageCodecs();
  return 0;
}

}  // namespace

bool WarmImageCodecs() {
  const HRESULT started = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (FAILED(started)) return false;
  IWICImagingFactory* factory = nullptr;
  bool decoded = false;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                 reinterpret_cast<void**>(&factory)))) {
    decoded = DecodeOnePixel(*factory);
    factory->Release();
  }
  CoUninitialize();
  return decoded;
}

void StartImageCodecWarmUp() {
  HANDLE thread = CreateThread(nullptr, 0, &WarmUp, nullptr, 0, nullptr);
  if (thread != nullptr) CloseHandle(thread);
}

}  // namespace velko::installer
