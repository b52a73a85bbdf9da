// CGdiplusImage: the record that holds one GDI+ image and the last GDI+ status that failed on it,
// and LoadPngResource, which turns a "PNG" resource into an image with its own copy of the bytes.
#pragma once

#include <memory>

#include "Gdiplus.h"

class CGdiplusImage {
public:
    // Which GDI+ call creates the image from a stream.
    enum class Kind { PlainImage, Bitmap };

    // A new record for the image in `stream` (which may be null). The record exists even when GDI+
    // cannot decode the bytes: its image is then null and the failure is its last status. Null only
    // when the record itself cannot be allocated.
    static std::unique_ptr<CGdiplusImage> FromStream(IStream* stream, Kind kind);

    virtual ~CGdiplusImage() = default;
    // A plain-image copy with this record's last status.
    virtual std::unique_ptr<CGdiplusImage> Clone();

    // Records live in GDI+'s own heap.
    static void* operator new(size_t size) noexcept;
    static void operator delete(void* p) noexcept;

    // Pixel size; 0 when GDI+ cannot tell (the failure becomes the last status).
    UINT GetWidth();
    UINT GetHeight();
    // Returns the last failing status and resets it to Ok.
    GpStatus GetLastStatus();

    unique_gp_image m_nativeImage;  // null when GDI+ could not make the image
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
// plain-image record in `image`. False, with `image` unchanged, when the resource cannot be found
// or loaded, or its copy or record cannot be allocated; true otherwise, also when GDI+ could not
// decode it. The copy of the bytes lives exactly as long as the image reads from it.
bool LoadPngResource(UINT id, LPCWSTR type, std::unique_ptr<CGdiplusImage>& image);
