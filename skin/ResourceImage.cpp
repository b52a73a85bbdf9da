// Loading, emptying and destroying the owning resource image.
#include "ResourceImage.h"

#include <cstring>

CImageHolder::~CImageHolder()
{
    delete m_pImage;
    m_pImage = nullptr;
}

CResourceImage::~CResourceImage() { Empty(); }

void CResourceImage::Empty()
{
    // The image may still read from the buffer, so it goes first.
    delete m_pImage;
    m_pImage = nullptr;
    if (m_hBuffer != nullptr) {
        ::GlobalUnlock(m_hBuffer);
        ::GlobalFree(m_hBuffer);
        m_hBuffer = nullptr;
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

    m_hBuffer = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (m_hBuffer == nullptr)
        return false;
    void* copy = ::GlobalLock(m_hBuffer);
    if (copy == nullptr) {
        ::GlobalFree(m_hBuffer);
        m_hBuffer = nullptr;
        return false;
    }
    std::memcpy(copy, bytes, size);

    IStream* stream = nullptr;
    if (::CreateStreamOnHGlobal(m_hBuffer, FALSE, &stream) != S_OK || stream == nullptr) {
        ::GlobalUnlock(m_hBuffer);
        ::GlobalFree(m_hBuffer);
        m_hBuffer = nullptr;
        return false;
    }
    m_pImage = CGdiplusImage::FromStream(stream, CGdiplusImage::Kind::Bitmap);
    stream->Release();  // the image keeps its own reference

    if (m_pImage != nullptr) {
        if (m_pImage->GetLastStatus() == Gdiplus::Ok)
            return true;
        delete m_pImage;
        m_pImage = nullptr;
    }
    ::GlobalUnlock(m_hBuffer);
    ::GlobalFree(m_hBuffer);
    m_hBuffer = nullptr;
    return false;
}
