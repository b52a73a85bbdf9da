// The owning resource image under Wine, on this test program's own "PNG" resources: what a load
// keeps, what a failed load leaves, and that the image is always disposed while its buffer is
// still there, whether by a reload, by Empty or by destruction; and what the one-shot loader
// LoadPngResource makes of the same resources.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>

#include "PngButtonTestIds.h"
#include "ProgramTestSupport.h"
#include "ResourceImage.h"

namespace {

bool IsFreed(HGLOBAL block) { return ::GlobalFlags(block) == GMEM_INVALID_HANDLE; }
UINT LockCount(HGLOBAL block) { return ::GlobalFlags(block) & GMEM_LOCKCOUNT; }

// Bytes in use on the process heap, where fixed global blocks come from.
size_t HeapBytesInUse()
{
    const HANDLE heap = ::GetProcessHeap();
    ::HeapLock(heap);
    PROCESS_HEAP_ENTRY entry{};
    size_t busy = 0;
    while (::HeapWalk(heap, &entry))
        busy += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0 ? entry.cbData : 0;
    ::HeapUnlock(heap);
    return busy;
}

// What the buffer looked like at the moment the image went.
struct Disposal {
    bool happened = false;
    bool bufferLockedThen = false;
    bool imageUsableThen = false;
};

// Takes over a loaded holder's image so its disposal can be watched.
class WatchedImage : public CGdiplusImage {
public:
    static void Watch(CResourceImage& holder, Disposal& disposal)
    {
        auto* watched = new WatchedImage;
        watched->m_buffer = holder.m_hBuffer.get();
        watched->m_disposal = &disposal;
        watched->m_nativeImage = std::move(holder.m_pImage->m_nativeImage);
        holder.m_pImage.reset(watched);
    }
    ~WatchedImage() override
    {
        UINT width = 0;
        m_disposal->happened = true;
        m_disposal->bufferLockedThen = !IsFreed(m_buffer) && LockCount(m_buffer) == 1;
        m_disposal->imageUsableThen = gdip::GdipGetImageWidth(m_nativeImage.get(), &width) == Gdiplus::Ok && width > 0;
    }

private:
    HGLOBAL m_buffer = nullptr;
    Disposal* m_disposal = nullptr;
};

class ResourceImageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_gdiplus = std::make_unique<GdiplusSession>(); }
    static void TearDownTestSuite() { s_gdiplus.reset(); }
    static inline std::unique_ptr<GdiplusSession> s_gdiplus;
};

TEST_F(ResourceImageTest, LoadKeepsALockedPrivateCopyThatTheBitmapReadsFrom)
{
    HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_TEST_PATTERN), L"PNG");
    ASSERT_NE(resource, nullptr);
    const DWORD size = ::SizeofResource(nullptr, resource);
    const void* original = ::LockResource(::LoadResource(nullptr, resource));

    CResourceImage image;
    ASSERT_TRUE(image.Load(IDR_TEST_PATTERN, L"PNG"));
    ASSERT_NE(image.m_pImage, nullptr);
    ASSERT_TRUE(image.m_pImage->m_nativeImage);
    EXPECT_EQ(image.m_pImage->GetWidth(), 24u);
    EXPECT_EQ(image.m_pImage->GetHeight(), 16u);
    Gdiplus::ImageType kind = Gdiplus::ImageTypeUnknown;
    gdip::GdipGetImageType(image.m_pImage->m_nativeImage.get(), &kind);
    EXPECT_EQ(kind, Gdiplus::ImageTypeBitmap);

    ASSERT_NE(image.m_hBuffer.get(), nullptr);
    EXPECT_EQ(LockCount(image.m_hBuffer.get()), 1u);
    ASSERT_EQ(::GlobalSize(image.m_hBuffer.get()), size);
    void* copy = ::GlobalLock(image.m_hBuffer.get());
    EXPECT_NE(copy, original);
    EXPECT_EQ(std::memcmp(copy, original, size), 0);
    ::GlobalUnlock(image.m_hBuffer.get());

    // Only the id's low 16 bits count.
    CResourceImage high;
    ASSERT_TRUE(high.Load(0x10000 + IDR_TEST_PATTERN_ALPHA, L"PNG"));
    EXPECT_EQ(high.m_pImage->GetWidth(), 24u);
}

TEST_F(ResourceImageTest, EveryFailedLoadLeavesItEmptyWithNothingAllocated)
{
    const struct {
        UINT id;
        const wchar_t* type;
        const char* what;
    } failures[] = {
        {IDR_TEST_NOT_AN_IMAGE, L"PNG", "a PNG resource that holds no picture"},
        {IDR_TEST_EMPTY, L"PNG", "a PNG resource of no bytes"},
        {IDR_TEST_MISSING, L"PNG", "no such id"},
        {IDR_TEST_PATTERN, L"JPEG", "no such type"},
    };
    for (const auto& failure : failures) {
        CResourceImage image;
        ASSERT_TRUE(image.Load(IDR_TEST_PATTERN, L"PNG"));
        const HGLOBAL before = image.m_hBuffer.get();
        EXPECT_FALSE(image.Load(failure.id, failure.type)) << failure.what;
        EXPECT_EQ(image.m_pImage, nullptr) << failure.what;
        EXPECT_EQ(image.m_hBuffer.get(), nullptr) << failure.what;
        // Wine hands out the handle freed last: a buffer that the failed load made took the first
        // buffer's handle, which is free again only if that buffer was freed too.
        EXPECT_TRUE(IsFreed(before)) << failure.what;
    }
}

TEST_F(ResourceImageTest, ReloadingDisposesTheFirstImageBeforeFreeingItsBufferAndLookingAgain)
{
    CResourceImage image;
    ASSERT_TRUE(image.Load(IDR_TEST_PATTERN, L"PNG"));
    const HGLOBAL first = image.m_hBuffer.get();
    Disposal disposal;
    WatchedImage::Watch(image, disposal);

    // A lookup that fails allocates nothing, so the first buffer's fate can be seen.
    EXPECT_FALSE(image.Load(IDR_TEST_MISSING, L"PNG"));
    EXPECT_TRUE(disposal.happened);
    EXPECT_TRUE(disposal.bufferLockedThen);
    EXPECT_TRUE(disposal.imageUsableThen);
    EXPECT_TRUE(IsFreed(first));

    // And a good load after a failed one works as the first did.
    ASSERT_TRUE(image.Load(IDR_TEST_PATTERN_ALPHA, L"PNG"));
    EXPECT_EQ(image.m_pImage->GetHeight(), 16u);
    EXPECT_EQ(LockCount(image.m_hBuffer.get()), 1u);
}

TEST_F(ResourceImageTest, EmptyAndDestructionDisposeTheImageWhileItsBufferIsStillThere)
{
    Disposal byEmpty;
    CResourceImage image;
    ASSERT_TRUE(image.Load(IDR_TEST_PATTERN, L"PNG"));
    HGLOBAL buffer = image.m_hBuffer.get();
    WatchedImage::Watch(image, byEmpty);
    image.Empty();
    EXPECT_TRUE(byEmpty.happened);
    EXPECT_TRUE(byEmpty.bufferLockedThen);
    EXPECT_TRUE(byEmpty.imageUsableThen);
    EXPECT_TRUE(IsFreed(buffer));
    EXPECT_EQ(image.m_pImage, nullptr);
    EXPECT_EQ(image.m_hBuffer.get(), nullptr);
    image.Empty();  // emptying an empty holder is harmless

    Disposal byDestruction;
    auto holder = std::make_unique<CResourceImage>();
    ASSERT_TRUE(holder->Load(IDR_TEST_PATTERN, L"PNG"));
    buffer = holder->m_hBuffer.get();
    WatchedImage::Watch(*holder, byDestruction);
    holder.reset();
    EXPECT_TRUE(byDestruction.happened);
    EXPECT_TRUE(byDestruction.bufferLockedThen);
    EXPECT_TRUE(IsFreed(buffer));
}

TEST_F(ResourceImageTest, LoadPngResourceFailsOnlyWithoutAResourceAndKeepsARecordOfBytesThatDoNotDecode)
{
    // Only the id's low 16 bits count; the image is a plain one, of the picture's size.
    std::unique_ptr<CGdiplusImage> image;
    ASSERT_TRUE(LoadPngResource(0x10000 + IDR_TEST_PATTERN, L"PNG", image));
    ASSERT_NE(image, nullptr);
    ASSERT_TRUE(image->m_nativeImage);
    EXPECT_EQ(image->GetWidth(), 24u);
    EXPECT_EQ(image->GetHeight(), 16u);
    EXPECT_EQ(image->GetLastStatus(), Gdiplus::Ok);

    // No such id, or no such type: false, and what the caller held stays.
    const CGdiplusImage* held = image.get();
    EXPECT_FALSE(LoadPngResource(IDR_TEST_MISSING, L"PNG", image));
    EXPECT_FALSE(LoadPngResource(IDR_TEST_PATTERN, L"JPEG", image));
    EXPECT_EQ(image.get(), held);

    // Bytes that are no picture, or no bytes at all: a record all the same, without an image.
    for (UINT id : {IDR_TEST_NOT_AN_IMAGE, IDR_TEST_EMPTY}) {
        std::unique_ptr<CGdiplusImage> broken;
        ASSERT_TRUE(LoadPngResource(id, L"PNG", broken)) << id;
        ASSERT_NE(broken, nullptr) << id;
        EXPECT_FALSE(broken->m_nativeImage) << id;
        EXPECT_NE(broken->GetLastStatus(), Gdiplus::Ok) << id;
        EXPECT_EQ(broken->GetWidth(), 0u) << id;
        EXPECT_EQ(broken->GetHeight(), 0u) << id;
    }
}

// The panel loads its face again after every display change and lets it go once shown.
TEST_F(ResourceImageTest, AnImageFromLoadPngResourceTakesItsCopyOfTheBytesWithIt)
{
    const DWORD size = ::SizeofResource(nullptr, ::FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_TEST_PATTERN), L"PNG"));
    ASSERT_GT(size, 500u);
    auto loadAndLetGo = [] {
        for (UINT id : {IDR_TEST_PATTERN, IDR_TEST_NOT_AN_IMAGE}) {
            std::unique_ptr<CGdiplusImage> image;
            ASSERT_TRUE(LoadPngResource(id, L"PNG", image));
        }
    };
    loadAndLetGo();  // GDI+ sets itself up on the first
    const size_t before = HeapBytesInUse();
    constexpr int kLoads = 100;
    for (int i = 0; i < kLoads; ++i)
        loadAndLetGo();
    EXPECT_LT(HeapBytesInUse(), before + kLoads * size / 4);
}

} // namespace
