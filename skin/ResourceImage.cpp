// Loading, emptying and destroying the owning resource image.
#include "ResourceImage.h"

#include <cstring>

CResourceImage::~CResourceImage() { Empty(); }

void CResourceImage::Empty()
{
    // The image may still read from the buffer, so it goes first.
    m_pImage.reset();
    if (m_hBuffer) {
        ::GlobalUnlock(m_hBuffer.get());
        m_hBuffer.reset();
    }
}

bool CResourceImage::Load(UINT id, LPCWSTR type)
{
    Empty();

    HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(LOWORD(id)), type);
    if (resource == nullptr)
        return false;
    const DWORD size = ::SizeofResource(nullptr, resource);
    if (size == 0)
        return false;
    HGLOBAL loaded = ::LoadResource(nullptr, resource);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return false;

    afx::unique_hglobal buffer(::GlobalAlloc(GMEM_MOVEABLE, size));
    void* copy = buffer ? ::GlobalLock(buffer.get()) : nullptr;
    if (copy == nullptr)
        return false;
    std::memcpy(copy, bytes, size);
    // Locked and held from here on: every way out below that is not a decoded image is Empty.
    m_hBuffer = std::move(buffer);

    IStream* stream = nullptr;
    if (::CreateStreamOnHGlobal(m_hBuffer.get(), FALSE, &stream) != S_OK || stream == nullptr) {
        Empty();
        return false;
    }
    m_pImage = CGdiplusImage::FromStream(stream, CGdiplusImage::Kind::Bitmap);
    stream->Release();  // the image keeps its own reference

    if (m_pImage != nullptr && m_pImage->GetLastStatus() == Gdiplus::Ok)
        return true;
    Empty();
    return false;
}
