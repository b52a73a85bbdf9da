// GDI+ image records and the PNG resource loader.
#include "GdiplusImage.h"

#include <cstring>

#include "Afx.h"

void* CGdiplusImage::operator new(size_t size) noexcept { return gdip::GdipAlloc(size); }
void CGdiplusImage::operator delete(void* p) noexcept { gdip::GdipFree(p); }

CGdiplusImage* CGdiplusImage::FromStream(IStream* stream, Kind kind)
{
    auto* record = new CGdiplusImage;
    if (record == nullptr)
        return nullptr;
    if (stream == nullptr) {
        record->m_lastStatus = Gdiplus::InvalidParameter;
    } else if (kind == Kind::Bitmap) {
        Gdiplus::GpBitmap* bitmap = nullptr;
        record->m_lastStatus = gdip::GdipCreateBitmapFromStream(stream, &bitmap);
        record->m_nativeImage = bitmap;
    } else {
        record->m_lastStatus = gdip::GdipLoadImageFromStream(stream, &record->m_nativeImage);
    }
    if (record->m_lastStatus != Gdiplus::Ok)
        record->m_nativeImage = nullptr;
    return record;
}

CGdiplusImage::~CGdiplusImage()
{
    if (m_nativeImage != nullptr)
        gdip::GdipDisposeImage(m_nativeImage);
}

CGdiplusImage* CGdiplusImage::Clone()
{
    auto* copy = new CGdiplusImage;
    if (copy == nullptr)
        return nullptr;
    copy->m_lastStatus = m_lastStatus;
    if (m_nativeImage != nullptr && Track(gdip::GdipCloneImage(m_nativeImage, &copy->m_nativeImage)) != Gdiplus::Ok)
        copy->m_nativeImage = nullptr;
    return copy;
}

UINT CGdiplusImage::GetWidth()
{
    UINT width = 0;
    if (Track(gdip::GdipGetImageWidth(m_nativeImage, &width)) != Gdiplus::Ok)
        return 0;
    return width;
}

UINT CGdiplusImage::GetHeight()
{
    UINT height = 0;
    if (Track(gdip::GdipGetImageHeight(m_nativeImage, &height)) != Gdiplus::Ok)
        return 0;
    return height;
}

GpStatus CGdiplusImage::GetLastStatus()
{
    const GpStatus status = m_lastStatus;
    m_lastStatus = Gdiplus::Ok;
    return status;
}

bool LoadPngResource(UINT id, LPCWSTR type, CGdiplusImage** image)
{
    HINSTANCE module = AfxGetModuleState()->m_hCurrentResourceHandle;
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(LOWORD(id)), type);
    if (resource == nullptr)
        return false;
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return false;

    afx::unique_hglobal block(::GlobalAlloc(GMEM_FIXED, size));
    void* copy = block ? ::GlobalLock(block.get()) : nullptr;
    if (copy == nullptr)
        return false;
    std::memcpy(copy, bytes, size);

    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block.get(), FALSE, &stream)))
        stream = nullptr;
    CGdiplusImage* record = CGdiplusImage::FromStream(stream, CGdiplusImage::Kind::PlainImage);
    ::GlobalUnlock(block.get());
    if (stream != nullptr)
        stream->Release();  // GDI+ holds its own reference while the image lives
    if (record == nullptr)
        return false;

    // The image goes on reading from the copy, so the copy stays as long as the image; a copy
    // that nothing decoded is of no use to anyone.
    if (record->m_nativeImage != nullptr)
        block.release();
    *image = record;
    return true;
}
