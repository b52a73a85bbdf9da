// GDI+ image records and the PNG resource loader.
#include "GdiplusImage.h"

#include <cstring>

#include "Afx.h"

void* CGdiplusImage::operator new(size_t size) noexcept { return gdip::GdipAlloc(size); }
void CGdiplusImage::operator delete(void* p) noexcept { gdip::GdipFree(p); }

std::unique_ptr<CGdiplusImage> CGdiplusImage::FromStream(IStream* stream, Kind kind)
{
    std::unique_ptr<CGdiplusImage> record(new CGdiplusImage);
    if (record == nullptr)
        return nullptr;
    Gdiplus::GpImage* image = nullptr;
    if (stream == nullptr) {
        record->m_lastStatus = Gdiplus::InvalidParameter;
    } else if (kind == Kind::Bitmap) {
        Gdiplus::GpBitmap* bitmap = nullptr;
        record->m_lastStatus = gdip::GdipCreateBitmapFromStream(stream, &bitmap);
        image = bitmap;
    } else {
        record->m_lastStatus = gdip::GdipLoadImageFromStream(stream, &image);
    }
    // A call that failed handed out no image, whatever it left in the out-parameter.
    if (record->m_lastStatus == Gdiplus::Ok)
        record->m_nativeImage.reset(image);
    return record;
}

std::unique_ptr<CGdiplusImage> CGdiplusImage::Clone()
{
    std::unique_ptr<CGdiplusImage> copy(new CGdiplusImage);
    if (copy == nullptr)
        return nullptr;
    copy->m_lastStatus = m_lastStatus;
    Gdiplus::GpImage* image = nullptr;
    if (m_nativeImage && Track(gdip::GdipCloneImage(m_nativeImage.get(), &image)) == Gdiplus::Ok)
        copy->m_nativeImage.reset(image);
    return copy;
}

UINT CGdiplusImage::GetWidth()
{
    UINT width = 0;
    if (Track(gdip::GdipGetImageWidth(m_nativeImage.get(), &width)) != Gdiplus::Ok)
        return 0;
    return width;
}

UINT CGdiplusImage::GetHeight()
{
    UINT height = 0;
    if (Track(gdip::GdipGetImageHeight(m_nativeImage.get(), &height)) != Gdiplus::Ok)
        return 0;
    return height;
}

GpStatus CGdiplusImage::GetLastStatus()
{
    const GpStatus status = m_lastStatus;
    m_lastStatus = Gdiplus::Ok;
    return status;
}

bool LoadPngResource(UINT id, LPCWSTR type, std::unique_ptr<CGdiplusImage>& image)
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
    ::GlobalUnlock(block.get());

    // The stream frees the copy when its last reference goes: GDI+ holds one for as long as the
    // image reads from it, so the copy lives exactly as long as the image needs it.
    IStream* stream = nullptr;
    if (SUCCEEDED(::CreateStreamOnHGlobal(block.get(), TRUE, &stream)) && stream != nullptr)
        block.release();
    else
        stream = nullptr;
    std::unique_ptr<CGdiplusImage> record = CGdiplusImage::FromStream(stream, CGdiplusImage::Kind::PlainImage);
    if (stream != nullptr)
        stream->Release();
    if (record == nullptr)
        return false;
    image = std::move(record);
    return true;
}
