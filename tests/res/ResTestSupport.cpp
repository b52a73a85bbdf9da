// Readers for the resource tests: PNG chunks, DIBs, dialog templates, and GDI+ decoding.
#include "ResTestSupport.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>

namespace restest {

std::span<const std::uint8_t> ResourceBytes(int id, const wchar_t* type)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!info)
        return {};
    HGLOBAL data = LoadResource(module, info);
    if (!data)
        return {};
    return {static_cast<const std::uint8_t*>(LockResource(data)), SizeofResource(module, info)};
}

namespace {

std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

PngInfo ReadPngInfo(std::span<const std::uint8_t> bytes)
{
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PngInfo info;
    if (bytes.size() < 8 || std::memcmp(bytes.data(), signature, 8) != 0)
        return info;
    size_t pos = 8;
    while (pos + 12 <= bytes.size()) {
        std::uint32_t length = BigEndian32(&bytes[pos]);
        const std::uint8_t* type = &bytes[pos + 4];
        const std::uint8_t* data = &bytes[pos + 8];
        if (pos + 12 + length > bytes.size())
            break;
        if (std::memcmp(type, "IHDR", 4) == 0 && length >= 13) {
            info.width = BigEndian32(data);
            info.height = BigEndian32(data + 4);
            info.bitDepth = data[8];
            info.colourType = data[9];
        } else if (std::memcmp(type, "pHYs", 4) == 0 && length == 9) {
            info.hasPhys = true;
            info.ppuX = BigEndian32(data);
            info.ppuY = BigEndian32(data + 4);
            info.unit = data[8];
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        }
        pos += 12 + length;
    }
    return info;
}

namespace {

void StartGdiplusOnce()
{
    static ULONG_PTR token = [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR t = 0;
        Gdiplus::GdiplusStartup(&t, &input, nullptr);
        return t;
    }();
    (void)token;
}

}  // namespace

Image DecodePng(int id)
{
    using namespace Gdiplus::DllExports;
    StartGdiplusOnce();
    Image image;
    auto bytes = ResourceBytes(id, L"PNG");
    if (bytes.empty())
        return image;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)))
        return image;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromStream(stream, &bitmap) == Gdiplus::Ok) {
        UINT w = 0, h = 0;
        GdipGetImageWidth(bitmap, &w);
        GdipGetImageHeight(bitmap, &h);
        Gdiplus::GpRect rect(0, 0, static_cast<INT>(w), static_cast<INT>(h));
        Gdiplus::BitmapData data{};
        if (GdipBitmapLockBits(bitmap, &rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) ==
            Gdiplus::Ok) {
            image.width = static_cast<int>(w);
            image.height = static_cast<int>(h);
            image.px.resize(static_cast<size_t>(w) * h);
            for (UINT y = 0; y < h; ++y) {
                auto* row = static_cast<const std::uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
                for (UINT x = 0; x < w; ++x)
                    image.px[y * w + x] = {row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]};
            }
            GdipBitmapUnlockBits(bitmap, &data);
        }
        GdipDisposeImage(bitmap);
    }
    stream->Release();
    return image;
}

Image ReadDib(int id, int* bitCount)
{
    Image image;
    auto bytes = ResourceBytes(id, MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    if (bytes.size() < sizeof(BITMAPINFOHEADER))
        return image;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (bitCount)
        *bitCount = header.biBitCount;
    if (header.biCompression != BI_RGB || (header.biBitCount != 24 && header.biBitCount != 32))
        return image;
    const int w = header.biWidth;
    const int h = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const int bpp = header.biBitCount / 8;
    const size_t stride = (static_cast<size_t>(w) * bpp + 3) & ~size_t{3};
    const size_t offset = header.biSize + header.biClrUsed * sizeof(RGBQUAD);
    if (bytes.size() < offset + stride * h)
        return image;
    image.width = w;
    image.height = h;
    image.px.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        int row = header.biHeight > 0 ? h - 1 - y : y;
        const std::uint8_t* p = bytes.data() + offset + stride * row;
        for (int x = 0; x < w; ++x)
            image.px[static_cast<size_t>(y) * w + x] = {p[bpp * x + 2], p[bpp * x + 1], p[bpp * x], 255};
    }
    return image;
}

namespace {

struct Reader {
    std::span<const std::uint8_t> bytes;
    size_t pos = 0;

    template <typename T>
    T Get()
    {
        T value{};
        if (pos + sizeof(T) <= bytes.size())
            std::memcpy(&value, bytes.data() + pos, sizeof(T));
        pos += sizeof(T);
        return value;
    }
    std::wstring String()
    {
        std::wstring s;
        for (wchar_t c; (c = static_cast<wchar_t>(Get<WORD>())) != 0 && pos <= bytes.size();)
            s += c;
        return s;
    }
    // A name or ordinal: 0 = none, 0xFFFF then the ordinal, else a string.
    void NameOrOrdinal(WORD& ordinal, std::wstring& name)
    {
        WORD first = Get<WORD>();
        if (first == 0xFFFF) {
            ordinal = Get<WORD>();
        } else if (first != 0) {
            pos -= 2;
            name = String();
        }
    }
    void AlignDword() { pos = (pos + 3) & ~size_t{3}; }
};

}  // namespace

DialogTemplate ParseDialog(std::span<const std::uint8_t> bytes)
{
    DialogTemplate t;
    Reader r{bytes};
    WORD count = 0;
    t.extended = bytes.size() >= 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
    if (t.extended) {
        r.pos = 8;  // version, signature, help id
        t.exStyle = r.Get<DWORD>();
        t.style = r.Get<DWORD>();
    } else {
        t.style = r.Get<DWORD>();
        t.exStyle = r.Get<DWORD>();
    }
    count = r.Get<WORD>();
    t.x = r.Get<short>();
    t.y = r.Get<short>();
    t.cx = r.Get<short>();
    t.cy = r.Get<short>();
    WORD ordinal = 0;
    std::wstring name;
    r.NameOrOrdinal(ordinal, name);  // menu
    r.NameOrOrdinal(ordinal, name);  // class
    t.title = r.String();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Get<WORD>();
        if (t.extended) {
            t.weight = r.Get<WORD>();
            t.italic = r.Get<BYTE>();
            t.charset = r.Get<BYTE>();
        }
        t.face = r.String();
    }
    for (WORD i = 0; i < count && r.pos < bytes.size(); ++i) {
        r.AlignDword();
        DialogItem item;
        if (t.extended) {
            r.Get<DWORD>();  // help id
            item.exStyle = r.Get<DWORD>();
            item.style = r.Get<DWORD>();
        } else {
            item.style = r.Get<DWORD>();
            item.exStyle = r.Get<DWORD>();
        }
        item.x = r.Get<short>();
        item.y = r.Get<short>();
        item.cx = r.Get<short>();
        item.cy = r.Get<short>();
        item.id = t.extended ? r.Get<DWORD>() : r.Get<WORD>();
        r.NameOrOrdinal(item.classOrdinal, item.className);
        r.NameOrOrdinal(item.textOrdinal, item.text);
        WORD extra = r.Get<WORD>();
        r.pos += extra;
        t.items.push_back(item);
    }
    return t;
}

}  // namespace restest
