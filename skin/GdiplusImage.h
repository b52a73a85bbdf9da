// CGdiplusImage: the record that holds one GDI+ image and the last GDI+ status that failed on it,
// and LoadPngResource, which turns a "PNG" resource into an image for the rest of the process.
#pragma once

#include "Gdiplus.h"

class CGdiplusImage {
public:
    // Which GDI+ call creates the image from a stream.
    enum class Kind { PlainImage, Bitmap };

    // A new record for the image in `stream` (which may be null). The record exists even when GDI+
    // cannot decode the bytes: its image is then null and the failure is its last status. Null only
    // when the record itself cannot be allocated.
    static CGdiplusImage* FromStream(IStream* stream, Kind kind);

    virtual ~CGdiplusImage();
    // A plain-image copy with this record's last status.
    virtual CGdiplusImage* Clone();

    // Records live in GDI+'s own heap.
    static void* operator new(size_t size) noexcept;
    static void operator delete(void* p) noexcept;

    // Pixel size; 0 when GDI+ cannot tell (the failure becomes the last status).
    UINT GetWidth();
    UINT GetHeight();
    // Returns the last failing status and resets it to Ok.
    GpStatus GetLastStatus();

    Gdiplus::GpImage* m_nativeImage = nullptr;
    GpStatus m_lastStatus = Gdiplus::Ok;

protected:
    CGdiplusImage() = default;
    CGdiplusImage(const CGdiplusImage&) = delete;
    CGdiplusImage& operator=(const CGdiplusImage&) = delete;
    GpStatus Track(GpStatus status)
    {
        if (status != Gdiplus::Ok)
            m_lastStatus = status;
        return status;
    }
};

// Loads "PNG"-type resource `id` (its low 16 bits) from the program's resource module into a new
// plain-image record in `*image`. False, with `*image` unchanged, when the resource cannot be
// found or loaded, or its copy or record cannot be allocated; true otherwise, also when GDI+
// could not decode it. The copy of the bytes stays for the image's lifetime.
bool LoadPngResource(UINT id, LPCWSTR type, CGdiplusImage** image);
