// Reading dialog templates: the header, the font and the items of both template formats.
#include "DialogTemplate.h"

#include <cstring>

#include "App.h"

namespace {

// Reads the template's words in order. Strings and ordinals are UTF-16 words; each item starts on
// a DWORD boundary from the template's start.
class TemplateReader {
public:
    explicit TemplateReader(const void* start) : m_start(static_cast<const BYTE*>(start)), m_at(m_start) {}

    template <class T>
    T Read()
    {
        T value{};
        std::memcpy(&value, m_at, sizeof value);
        m_at += sizeof value;
        return value;
    }
    // A name or an ordinal (0xFFFF and a word); the name when it is one.
    std::wstring ReadNameOrOrdinal()
    {
        const WORD first = Read<WORD>();
        if (first == 0)
            return {};
        if (first == 0xFFFF) {
            Read<WORD>();
            return {};
        }
        std::wstring name(1, static_cast<wchar_t>(first));
        for (WORD c = Read<WORD>(); c != 0; c = Read<WORD>())
            name += static_cast<wchar_t>(c);
        return name;
    }
    void Skip(size_t bytes) { m_at += bytes; }
    void AlignToDword() { m_at = m_start + ((m_at - m_start + 3) & ~static_cast<ptrdiff_t>(3)); }

private:
    const BYTE* m_start;
    const BYTE* m_at;
};

CRect Units(short x, short y, short cx, short cy) { return CRect(x, y, x + cx, y + cy); }

} // namespace

DialogTemplateInfo ReadDialogTemplate(const DLGTEMPLATE* dialogTemplate)
{
    DialogTemplateInfo info;
    if (dialogTemplate == nullptr)
        return info;
    TemplateReader reader(dialogTemplate);
    const auto* words = reinterpret_cast<const WORD*>(dialogTemplate);
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    WORD count = 0;
    if (extended) {
        // Version, signature, help id, extended style, style, item count, x, y, cx, cy.
        reader.Skip(2 * sizeof(WORD) + sizeof(DWORD));
        info.exStyle = reader.Read<DWORD>();
        info.style = reader.Read<DWORD>();
    } else {
        info.style = reader.Read<DWORD>();
        info.exStyle = reader.Read<DWORD>();
    }
    count = reader.Read<WORD>();
    info.x = reader.Read<short>();
    info.y = reader.Read<short>();
    info.cx = reader.Read<short>();
    info.cy = reader.Read<short>();
    reader.ReadNameOrOrdinal();  // menu
    reader.ReadNameOrOrdinal();  // class
    reader.ReadNameOrOrdinal();  // title
    if ((info.style & DS_SETFONT) != 0) {
        info.pointSize = reader.Read<WORD>();
        if (extended)
            reader.Skip(sizeof(WORD) + 2 * sizeof(BYTE));  // weight, italic, character set
        info.face = reader.ReadNameOrOrdinal();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        DialogTemplateItem item;
        if (extended) {
            reader.Skip(3 * sizeof(DWORD));  // help id, extended style, style
            const short x = reader.Read<short>(), y = reader.Read<short>(), cx = reader.Read<short>(),
                        cy = reader.Read<short>();
            item.units = Units(x, y, cx, cy);
            item.id = reader.Read<DWORD>();
        } else {
            reader.Skip(2 * sizeof(DWORD));  // style, extended style
            const short x = reader.Read<short>(), y = reader.Read<short>(), cx = reader.Read<short>(),
                        cy = reader.Read<short>();
            item.units = Units(x, y, cx, cy);
            item.id = reader.Read<WORD>();
        }
        reader.ReadNameOrOrdinal();  // class
        reader.ReadNameOrOrdinal();  // text
        reader.Skip(reader.Read<WORD>());  // creation data
        info.items.push_back(item);
    }
    return info;
}

const DLGTEMPLATE* LoadDialogTemplate(LPCWSTR name)
{
    HINSTANCE module = AfxFindResourceHandle(name, RT_DIALOG);
    HRSRC resource = ::FindResourceW(module, name, RT_DIALOG);
    if (resource == nullptr)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);
    return loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}

CSize DialogBaseUnitsAt96(const std::wstring& face, WORD pointSize)
{
    if (face == L"宋体" && pointSize == 9)
        return CSize(6, 12);
    if (face == L"System" && pointSize == 10)
        return CSize(8, 16);
    return CSize();
}

CRect DialogUnitsToPixels(const CRect& units, CSize baseUnits)
{
    const CPoint topLeft(::MulDiv(units.left, baseUnits.cx, 4), ::MulDiv(units.top, baseUnits.cy, 8));
    const CSize size(::MulDiv(units.Width(), baseUnits.cx, 4), ::MulDiv(units.Height(), baseUnits.cy, 8));
    return CRect(topLeft, size);
}
