#include "framework/core/Collections.h"

#include <cstddef>
#include <cstdlib>
#include <limits>

IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_SERIAL(CObList, CObject, 0)
IMPLEMENT_SERIAL(CStringList, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_SERIAL(CObArray, CObject, 0)
IMPLEMENT_SERIAL(CByteArray, CObject, 0)
IMPLEMENT_SERIAL(CWordArray, CObject, 0)
IMPLEMENT_SERIAL(CDWordArray, CObject, 0)
IMPLEMENT_DYNAMIC(CUIntArray, CObject)
IMPLEMENT_SERIAL(CStringArray, CObject, 0)
IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapPtrToWord, CObject)
IMPLEMENT_DYNAMIC(CMapWordToPtr, CObject)
IMPLEMENT_SERIAL(CMapWordToOb, CObject, 0)
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
IMPLEMENT_SERIAL(CMapStringToOb, CObject, 0)
IMPLEMENT_SERIAL(CMapStringToString, CObject, 0)

namespace lqcoll {

namespace {

// Node slots are kept pointer-aligned and large enough to hold the free-list link.
size_t SlotSize(size_t nodeSize)
{
    const size_t align = alignof(std::max_align_t);
    const size_t size = nodeSize < sizeof(void*) ? sizeof(void*) : nodeSize;
    return (size + align - 1) / align * align;
}

size_t BlockHeader()
{
    const size_t align = alignof(std::max_align_t);
    return (sizeof(void*) + align - 1) / align * align;
}

} // namespace

NodePool::NodePool(size_t nodeSize, INT_PTR blockSize)
    : m_nodeSize(SlotSize(nodeSize)), m_blockSize(blockSize < 1 ? 10 : blockSize)
{
}

void* NodePool::Alloc()
{
    if (!m_free) {
        const size_t header = BlockHeader();
        if (static_cast<size_t>(m_blockSize) > (std::numeric_limits<size_t>::max() - header) / m_nodeSize)
            AfxThrowMemoryException();
        void* raw = std::malloc(header + m_nodeSize * static_cast<size_t>(m_blockSize));
        if (!raw)
            AfxThrowMemoryException();
        Block* block = static_cast<Block*>(raw);
        block->next = m_blocks;
        m_blocks = block;
        // Chain the new slots so that they are handed out in address order.
        BYTE* first = static_cast<BYTE*>(raw) + header;
        for (INT_PTR i = m_blockSize; i-- > 0;) {
            FreeNode* slot = reinterpret_cast<FreeNode*>(first + static_cast<size_t>(i) * m_nodeSize);
            slot->next = m_free;
            m_free = slot;
        }
    }
    FreeNode* node = m_free;
    m_free = node->next;
    return node;
}

void NodePool::Free(void* node) noexcept
{
    FreeNode* slot = static_cast<FreeNode*>(node);
    slot->next = m_free;
    m_free = slot;
}

void NodePool::FreeAll() noexcept
{
    while (m_blocks) {
        Block* next = m_blocks->next;
        std::free(m_blocks);
        m_blocks = next;
    }
    m_free = nullptr;
}

void* AllocElements(size_t count, size_t elementSize)
{
    if (elementSize != 0 && count > std::numeric_limits<size_t>::max() / 2 / elementSize)
        AfxThrowMemoryException();
    void* p = std::malloc(count * elementSize == 0 ? 1 : count * elementSize);
    if (!p)
        AfxThrowMemoryException();
    return p;
}

void FreeElements(void* p) noexcept
{
    std::free(p);
}

} // namespace lqcoll

namespace {

template <typename Ch> UINT HashChars(const Ch* key)
{
    UINT hash = 0;
    if (key) {
        while (*key)
            hash = (hash << 5) + hash + static_cast<UINT>(static_cast<std::make_unsigned_t<Ch>>(*key++));
    }
    return hash;
}

} // namespace

template <> UINT AFXAPI HashKey<LPCWSTR>(LPCWSTR key)
{
    return HashChars(key);
}

template <> UINT AFXAPI HashKey<LPCSTR>(LPCSTR key)
{
    return HashChars(key);
}

template <> UINT AFXAPI HashKey<const CString&>(const CString& key)
{
    return HashChars(key.GetString());
}

template <> UINT AFXAPI HashKey<const CStringA&>(const CStringA& key)
{
    return HashChars(key.GetString());
}

template <> UINT AFXAPI HashKey<CString>(CString key)
{
    return HashChars(key.GetString());
}

template <> UINT AFXAPI HashKey<CStringA>(CStringA key)
{
    return HashChars(key.GetString());
}

template <> void AFXAPI SerializeElements<CString>(CArchive& ar, CString* pElements, INT_PTR nCount)
{
    for (INT_PTR i = 0; i < nCount; ++i) {
        if (ar.IsStoring())
            ar << pElements[i];
        else
            ar >> pElements[i];
    }
}

template <> void AFXAPI SerializeElements<CStringA>(CArchive& ar, CStringA* pElements, INT_PTR nCount)
{
    for (INT_PTR i = 0; i < nCount; ++i) {
        if (ar.IsStoring())
            ar << pElements[i];
        else
            ar >> pElements[i];
    }
}

template <> void AFXAPI SerializeElements<CObject*>(CArchive& ar, CObject** pElements, INT_PTR nCount)
{
    for (INT_PTR i = 0; i < nCount; ++i) {
        if (ar.IsStoring())
            ar.WriteObject(pElements[i]);
        else
            pElements[i] = ar.ReadObject(nullptr);
    }
}
