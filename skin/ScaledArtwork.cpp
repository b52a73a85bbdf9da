// Pictures brought to a display scale: the larger picture (or the design's) filtered to the exact
// size, colour keys kept clean.
#include "ScaledArtwork.h"

#include <cstdlib>
#include <vector>

#include "DisplayScale.h"
#include "PageBitmap.h"

namespace {

CSize BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof info, &info) == 0)
        return CSize();
    return CSize(info.bmWidth, std::abs(info.bmHeight));
}

BYTE Premultiply(BYTE channel, BYTE alpha) { return static_cast<BYTE>((channel * alpha + 127) / 255); }
BYTE Unpremultiply(BYTE channel, BYTE alpha)
{
    const int value = (channel * 255 + alpha / 2) / alpha;
    return static_cast<BYTE>(value > 255 ? 255 : value);
}

// The picture's pixels as premultiplied ARGB (0xAARRGGBB), the key's pixels see-through (all zero):
// scaled so, a key pixel lends its neighbours nothing but transparency.
std::vector<DWORD> SourcePixels(Gdiplus::GpBitmap* bitmap, UINT width, UINT height, COLORREF key)
{
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    Gdiplus::BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = static_cast<INT>(width * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.data();
    const Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    if (gdip::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                 PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return {};
    gdip::GdipBitmapUnlockBits(bitmap, &data);
    for (DWORD& pixel : pixels) {
        const BYTE a = static_cast<BYTE>(pixel >> 24), r = static_cast<BYTE>(pixel >> 16),
                   g = static_cast<BYTE>(pixel >> 8), b = static_cast<BYTE>(pixel);
        if (key != CLR_INVALID && RGB(r, g, b) == key) {
            pixel = 0;
            continue;
        }
        pixel = (static_cast<DWORD>(a) << 24) | (static_cast<DWORD>(Premultiply(r, a)) << 16) |
                (static_cast<DWORD>(Premultiply(g, a)) << 8) | Premultiply(b, a);
    }
    return pixels;
}

// After scaling: a pixel at least half covered by the picture takes the picture's colour there,
// any other is the key; a picture colour that came out as the key is moved off it by one step of
// green, which no eye tells apart.
void ResolveKey(DWORD* pixels, size_t count, COLORREF key)
{
    const DWORD keyPixel = (static_cast<DWORD>(GetRValue(key)) << 16) | (static_cast<DWORD>(GetGValue(key)) << 8) |
                           GetBValue(key);
    for (size_t i = 0; i < count; ++i) {
        DWORD& pixel = pixels[i];
        const BYTE a = static_cast<BYTE>(pixel >> 24);
        if (a < 128) {
            pixel = keyPixel;
            continue;
        }
        DWORD colour = (static_cast<DWORD>(Unpremultiply(static_cast<BYTE>(pixel >> 16), a)) << 16) |
                       (static_cast<DWORD>(Unpremultiply(static_cast<BYTE>(pixel >> 8), a)) << 8) |
                       Unpremultiply(static_cast<BYTE>(pixel), a);
        if (colour == keyPixel)
            colour ^= 0x000100;
        pixel = colour;
    }
}

// `source` (width x height) filtered to a new 32-bit bitmap of `size`.
afx::unique_hbitmap ScaleBitmap(Gdiplus::GpBitmap* source, UINT width, UINT height, CSize size, COLORREF key)
{
    std::vector<DWORD> pixels = SourcePixels(source, width, height, key);
    if (pixels.empty() || size.cx <= 0 || size.cy <= 0)
        return {};
    unique_gp_bitmap premultiplied;
    if (gdip::GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height),
                                        static_cast<INT>(width * 4), PixelFormat32bppPARGB,
                                        reinterpret_cast<BYTE*>(pixels.data()), premultiplied.put()) != Gdiplus::Ok) {
        premultiplied.release();
        return {};
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    afx::unique_hbitmap scaled(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!scaled || bits == nullptr)
        return {};
    {
        // GDI+ writes straight into the bitmap's pixels, which start all zero (transparent).
        unique_gp_bitmap surface;
        unique_gp_graphics graphics;
        if (gdip::GdipCreateBitmapFromScan0(size.cx, size.cy, size.cx * 4, PixelFormat32bppPARGB,
                                            static_cast<BYTE*>(bits), surface.put()) != Gdiplus::Ok)
            surface.release();
        else if (gdip::GdipGetImageGraphicsContext(surface.get(), graphics.put()) != Gdiplus::Ok)
            graphics.release();
        if (!graphics ||
            DrawImageScaled(graphics.get(), premultiplied.get(),
                            Gdiplus::RectF(0, 0, static_cast<Gdiplus::REAL>(size.cx), static_cast<Gdiplus::REAL>(size.cy))) !=
                Gdiplus::Ok)
            return {};
    }
    if (key != CLR_INVALID)
        ResolveKey(static_cast<DWORD*>(bits), static_cast<size_t>(size.cx) * size.cy, key);
    return scaled;
}

} // namespace

afx::unique_hbitmap LoadScaledBitmap(const ArtworkIds& ids, UINT dpi, COLORREF key)
{
    afx::unique_hbitmap design = LoadPageBitmap(ids.normal);
    if (dpi == afx::kLayoutDpi)
        return design;

    // The size comes from the design's picture, which the larger one doubles.
    CSize designSize = BitmapSize(design.get());
    CResourceImage twice;
    unique_gp_bitmap fromDesign;
    Gdiplus::GpBitmap* source = nullptr;
    if (ids.twice != 0 && twice.Load(ids.twice, L"PNG")) {
        source = static_cast<Gdiplus::GpBitmap*>(twice.m_pImage->m_nativeImage.get());
        if (designSize.cx == 0)
            designSize = CSize(static_cast<int>(twice.m_pImage->GetWidth() / 2), static_cast<int>(twice.m_pImage->GetHeight() / 2));
    } else if (design) {
        if (gdip::GdipCreateBitmapFromHBITMAP(design.get(), nullptr, fromDesign.put()) != Gdiplus::Ok)
            fromDesign.release();
        source = fromDesign.get();
    }
    if (source == nullptr)
        return {};
    UINT width = 0, height = 0;
    gdip::GdipGetImageWidth(source, &width);
    gdip::GdipGetImageHeight(source, &height);
    return ScaleBitmap(source, width, height, afx::ScaleToDpi(designSize, dpi), key);
}

ScaledPicture LoadScaledPicture(const ArtworkIds& ids, LPCWSTR type, UINT dpi)
{
    ScaledPicture picture{std::make_unique<CResourceImage>(), 1};
    if (dpi != afx::kLayoutDpi && ids.twice != 0 && picture.image->Load(ids.twice, L"PNG")) {
        picture.factor = 2;
        return picture;
    }
    picture.image->Load(ids.normal, type);
    return picture;
}

GpStatus DrawImageScaled(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* image, const Gdiplus::RectF& destination,
                         const Gdiplus::ColorMatrix* matrix)
{
    UINT width = 0, height = 0;
    gdip::GdipGetImageWidth(image, &width);
    gdip::GdipGetImageHeight(image, &height);
    unique_gp_image_attributes attributes;
    if (gdip::GdipCreateImageAttributes(attributes.put()) != Gdiplus::Ok) {
        attributes.release();
        return Gdiplus::OutOfMemory;
    }
    // Beyond its edges the filter sees the picture mirrored, never transparent black.
    gdip::GdipSetImageAttributesWrapMode(attributes.get(), Gdiplus::WrapModeTileFlipXY, 0, FALSE);
    if (matrix != nullptr)
        gdip::GdipSetImageAttributesColorMatrix(attributes.get(), Gdiplus::ColorAdjustTypeDefault, TRUE, matrix, nullptr,
                                                Gdiplus::ColorMatrixFlagsDefault);
    gdip::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
    gdip::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
    return gdip::GdipDrawImageRectRect(graphics, image, destination.X, destination.Y, destination.Width,
                                       destination.Height, 0, 0, static_cast<Gdiplus::REAL>(width),
                                       static_cast<Gdiplus::REAL>(height), Gdiplus::UnitPixel, attributes.get(), nullptr,
                                       nullptr);
}
