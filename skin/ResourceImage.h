// CImageHolder and CResourceImage: an owning, reloadable GDI+ image made from a resource of the
// executable, together with the private copy of the resource bytes that the image reads from.
#pragma once

#include <memory>

#include "GdiplusImage.h"

// Owns at most one image record.
class CImageHolder {
public:
    CImageHolder() = default;
    virtual ~CImageHolder() = default;
    CImageHolder(const CImageHolder&) = delete;
    CImageHolder& operator=(const CImageHolder&) = delete;

    std::unique_ptr<CGdiplusImage> m_pImage;  // null when empty
};

// Either empty (no image, no buffer) or loaded (an image decoded from `m_hBuffer`, which stays
// allocated and locked once for as long as the image lives). The image is always disposed before
// its buffer is unlocked and freed.
class CResourceImage : public CImageHolder {
public:
    CResourceImage() = default;
    ~CResourceImage() override;

    // Empties the holder, then loads resource `id` (its low 16 bits) of `type` from the
    // executable as a GDI+ bitmap. True only when the image decoded; on false the holder is empty.
    bool Load(UINT id, LPCWSTR type);
    void Empty();

    afx::unique_hglobal m_hBuffer;  // GMEM_MOVEABLE, locked while m_pImage is set
};
