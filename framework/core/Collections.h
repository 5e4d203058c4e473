// The framework's collections: doubly linked lists walked by POSITION, growable arrays and hash maps, as
// templates and as the classic pointer, object and string instances, each with its archive form.
#pragma once

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#include "framework/core/AfxString.h"
#include "framework/core/Archive.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Object.h"

// An opaque place in a list or map; NULL means "none".
struct tagLqPosition;
typedef tagLqPosition* POSITION;
#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(static_cast<INT_PTR>(-1)))

namespace lqcoll {

// Nodes of one list or map come from blocks of a fixed number of nodes; freed nodes are reused, and all blocks
// go back to the heap together when the container becomes empty.
class NodePool
{
public:
    NodePool(size_t nodeSize, INT_PTR blockSize);
    ~NodePool() { FreeAll(); }
    NodePool(const NodePool&) = delete;
    NodePool& operator=(const NodePool&) = delete;

    // Raw storage for one node; raises the memory exception when the heap is exhausted.
    void* Alloc();
    void Free(void* node) noexcept;
    void FreeAll() noexcept;

private:
    struct Block
    {
        Block* next;
    };
    struct FreeNode
    {
        FreeNode* next;
    };
    size_t m_nodeSize;
    INT_PTR m_blockSize;
    Block* m_blocks = nullptr;
    FreeNode* m_free = nullptr;
};

// Raw element storage for arrays; raises the memory exception on failure or size overflow.
void* AllocElements(size_t count, size_t elementSize);
void FreeElements(void* p) noexcept;

// Archive elements are read in slices of this many so that a corrupt count cannot claim memory the data
// does not back.
constexpr INT_PTR kLoadSlice = 4096;

} // namespace lqcoll

// Hash of a map key: pointers and integers by value shifted right by 4; strings by their characters.
template <class ARG_KEY> inline UINT AFXAPI HashKey(ARG_KEY key)
{
    using K = std::remove_cv_t<std::remove_reference_t<ARG_KEY>>;
    if constexpr (std::is_pointer_v<K>)
        return static_cast<UINT>(reinterpret_cast<DWORD_PTR>(key) >> 4);
    else
        return static_cast<UINT>(static_cast<DWORD_PTR>(key) >> 4);
}
template <> UINT AFXAPI HashKey<LPCWSTR>(LPCWSTR key);
template <> UINT AFXAPI HashKey<LPCSTR>(LPCSTR key);
template <> UINT AFXAPI HashKey<const CString&>(const CString& key);
template <> UINT AFXAPI HashKey<const CStringA&>(const CStringA& key);
template <> UINT AFXAPI HashKey<CString>(CString key);
template <> UINT AFXAPI HashKey<CStringA>(CStringA key);

template <class TYPE, class ARG_TYPE>
inline BOOL AFXAPI CompareElements(const TYPE* pElement1, const ARG_TYPE* pElement2)
{
    return *pElement1 == *pElement2;
}

// The archive form of nCount elements: by default their raw bytes; strings and objects in their own forms.
template <class TYPE> void AFXAPI SerializeElements(CArchive& ar, TYPE* pElements, INT_PTR nCount)
{
    static_assert(!std::is_reference_v<TYPE>);
    BYTE* bytes = reinterpret_cast<BYTE*>(pElements);
    ULONGLONG remaining = static_cast<ULONGLONG>(nCount) * sizeof(TYPE);
    while (remaining > 0) {
        const UINT chunk = remaining > 0x40000000 ? 0x40000000u : static_cast<UINT>(remaining);
        if (ar.IsStoring()) {
            ar.Write(bytes, chunk);
        } else if (ar.Read(bytes, chunk) != chunk) {
            AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
        }
        bytes += chunk;
        remaining -= chunk;
    }
}
template <> void AFXAPI SerializeElements<CString>(CArchive& ar, CString* pElements, INT_PTR nCount);
template <> void AFXAPI SerializeElements<CStringA>(CArchive& ar, CStringA* pElements, INT_PTR nCount);
template <> void AFXAPI SerializeElements<CObject*>(CArchive& ar, CObject** pElements, INT_PTR nCount);

// ---------------------------------------------------------------------------------------------------------------
// Lists

template <class TYPE, class ARG_TYPE = const TYPE&> class CList : public CObject
{
protected:
    struct CNode
    {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    // nBlockSize: how many nodes are allocated at a time.
    explicit CList(INT_PTR nBlockSize = 10) : m_pool(sizeof(CNode), nBlockSize) {}
    ~CList() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    // The list must not be empty.
    TYPE& GetHead() { return m_pNodeHead->data; }
    const TYPE& GetHead() const { return m_pNodeHead->data; }
    TYPE& GetTail() { return m_pNodeTail->data; }
    const TYPE& GetTail() const { return m_pNodeTail->data; }

    // An empty list gives a value-initialised element.
    TYPE RemoveHead() { return m_pNodeHead ? Extract(m_pNodeHead) : TYPE(); }
    TYPE RemoveTail() { return m_pNodeTail ? Extract(m_pNodeTail) : TYPE(); }

    POSITION AddHead(ARG_TYPE newElement) { return ToPos(Link(NewNode(newElement), nullptr, m_pNodeHead)); }
    POSITION AddTail(ARG_TYPE newElement) { return ToPos(Link(NewNode(newElement), m_pNodeTail, nullptr)); }
    // Copies of another list's elements, in their order (the list may be this one).
    void AddHead(CList* pNewList)
    {
        if (!pNewList)
            return;
        CNode* node = pNewList->m_pNodeTail;
        for (INT_PTR n = pNewList->m_nCount; n > 0 && node; --n, node = node->pPrev)
            AddHead(node->data);
    }
    void AddTail(CList* pNewList)
    {
        if (!pNewList)
            return;
        CNode* node = pNewList->m_pNodeHead;
        for (INT_PTR n = pNewList->m_nCount; n > 0 && node; --n, node = node->pNext)
            AddTail(node->data);
    }

    void RemoveAll()
    {
        for (CNode* node = m_pNodeHead; node;) {
            CNode* next = node->pNext;
            node->~CNode();
            node = next;
        }
        m_pNodeHead = m_pNodeTail = nullptr;
        m_nCount = 0;
        m_pool.FreeAll();
    }

    POSITION GetHeadPosition() const { return ToPos(m_pNodeHead); }
    POSITION GetTailPosition() const { return ToPos(m_pNodeTail); }
    // The element at rPosition; rPosition moves to the next (or previous) one, NULL past the end.
    TYPE& GetNext(POSITION& rPosition)
    {
        CNode* node = FromPos(rPosition);
        rPosition = ToPos(node->pNext);
        return node->data;
    }
    const TYPE& GetNext(POSITION& rPosition) const
    {
        CNode* node = FromPos(rPosition);
        rPosition = ToPos(node->pNext);
        return node->data;
    }
    TYPE& GetPrev(POSITION& rPosition)
    {
        CNode* node = FromPos(rPosition);
        rPosition = ToPos(node->pPrev);
        return node->data;
    }
    const TYPE& GetPrev(POSITION& rPosition) const
    {
        CNode* node = FromPos(rPosition);
        rPosition = ToPos(node->pPrev);
        return node->data;
    }
    TYPE& GetAt(POSITION position) { return FromPos(position)->data; }
    const TYPE& GetAt(POSITION position) const { return FromPos(position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { FromPos(pos)->data = newElement; }
    // Removing the element at a position leaves every other position valid; NULL removes nothing.
    void RemoveAt(POSITION position)
    {
        if (CNode* node = FromPos(position)) {
            Unlink(node);
            FreeNode(node);
        }
    }

    // A NULL position inserts at the head (before) or the tail (after).
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement)
    {
        CNode* at = FromPos(position);
        if (!at)
            return AddHead(newElement);
        return ToPos(Link(NewNode(newElement), at->pPrev, at));
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement)
    {
        CNode* at = FromPos(position);
        if (!at)
            return AddTail(newElement);
        return ToPos(Link(NewNode(newElement), at, at->pNext));
    }

    // The first equal element after startAfter (from the head when NULL).
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = NULL) const
    {
        CNode* node = startAfter ? FromPos(startAfter)->pNext : m_pNodeHead;
        for (; node; node = node->pNext) {
            if (CompareElements<TYPE>(&node->data, &searchValue))
                return ToPos(node);
        }
        return NULL;
    }
    // The position of the zero-based index, NULL when out of range.
    POSITION FindIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount)
            return NULL;
        CNode* node = m_pNodeHead;
        while (nIndex-- > 0)
            node = node->pNext;
        return ToPos(node);
    }

    // A count, then each element.
    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
            for (CNode* node = m_pNodeHead; node; node = node->pNext)
                SerializeElements<TYPE>(ar, &node->data, 1);
        } else {
            for (DWORD_PTR n = ar.ReadCount(); n > 0; --n) {
                TYPE newData[1] = {};
                SerializeElements<TYPE>(ar, newData, 1);
                AddTail(newData[0]);
            }
        }
    }

protected:
    static POSITION ToPos(CNode* node) { return reinterpret_cast<POSITION>(node); }
    static CNode* FromPos(POSITION pos) { return reinterpret_cast<CNode*>(pos); }

    CNode* NewNode(ARG_TYPE value)
    {
        void* raw = m_pool.Alloc();
        try {
            return ::new (raw) CNode{nullptr, nullptr, TYPE(value)};
        } catch (...) {
            m_pool.Free(raw);
            throw;
        }
    }
    void FreeNode(CNode* node)
    {
        node->~CNode();
        m_pool.Free(node);
        if (m_nCount == 0)
            m_pool.FreeAll();
    }
    CNode* Link(CNode* node, CNode* prev, CNode* next)
    {
        node->pPrev = prev;
        node->pNext = next;
        (prev ? prev->pNext : m_pNodeHead) = node;
        (next ? next->pPrev : m_pNodeTail) = node;
        ++m_nCount;
        return node;
    }
    void Unlink(CNode* node)
    {
        (node->pPrev ? node->pPrev->pNext : m_pNodeHead) = node->pNext;
        (node->pNext ? node->pNext->pPrev : m_pNodeTail) = node->pPrev;
        --m_nCount;
    }
    TYPE Extract(CNode* node)
    {
        TYPE value(std::move(node->data));
        Unlink(node);
        FreeNode(node);
        return value;
    }

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    INT_PTR m_nCount = 0;
    lqcoll::NodePool m_pool;
};

class CPtrList : public CList<void*, void*>
{
    DECLARE_DYNAMIC(CPtrList)
public:
    explicit CPtrList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};

// Elements are objects: the archive form is a count, then each object with its class (WriteObject).
class CObList : public CList<CObject*, CObject*>
{
    DECLARE_SERIAL(CObList)
public:
    explicit CObList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};

// The archive form is a count, then each string in the archive's string form.
class CStringList : public CList<CString, LPCTSTR>
{
    DECLARE_SERIAL(CStringList)
public:
    explicit CStringList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};

// A list of TYPE pointers over CPtrList or CObList.
template <class BASE_CLASS, class TYPE> class CTypedPtrList : public BASE_CLASS
{
public:
    explicit CTypedPtrList(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}

    TYPE& GetHead() { return (TYPE&)BASE_CLASS::GetHead(); }
    TYPE GetHead() const { return (TYPE)BASE_CLASS::GetHead(); }
    TYPE& GetTail() { return (TYPE&)BASE_CLASS::GetTail(); }
    TYPE GetTail() const { return (TYPE)BASE_CLASS::GetTail(); }
    TYPE RemoveHead() { return (TYPE)BASE_CLASS::RemoveHead(); }
    TYPE RemoveTail() { return (TYPE)BASE_CLASS::RemoveTail(); }
    POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
    POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
    void AddHead(CTypedPtrList* pNewList) { BASE_CLASS::AddHead(static_cast<BASE_CLASS*>(pNewList)); }
    void AddTail(CTypedPtrList* pNewList) { BASE_CLASS::AddTail(static_cast<BASE_CLASS*>(pNewList)); }
    TYPE& GetNext(POSITION& rPosition) { return (TYPE&)BASE_CLASS::GetNext(rPosition); }
    TYPE GetNext(POSITION& rPosition) const { return (TYPE)BASE_CLASS::GetNext(rPosition); }
    TYPE& GetPrev(POSITION& rPosition) { return (TYPE&)BASE_CLASS::GetPrev(rPosition); }
    TYPE GetPrev(POSITION& rPosition) const { return (TYPE)BASE_CLASS::GetPrev(rPosition); }
    TYPE& GetAt(POSITION position) { return (TYPE&)BASE_CLASS::GetAt(position); }
    TYPE GetAt(POSITION position) const { return (TYPE)BASE_CLASS::GetAt(position); }
    void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, newElement); }
};

// ---------------------------------------------------------------------------------------------------------------
// Arrays

template <class TYPE, class ARG_TYPE = const TYPE&> class CArray : public CObject
{
public:
    CArray() = default;
    ~CArray() override { RemoveAll(); }

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }

    // New elements are value-initialised. nGrowBy (when not -1) becomes the step by which the storage grows;
    // without one the step is an eighth of the size, between 4 and 1024 elements.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1)
    {
        if (nGrowBy >= 0)
            m_nGrowBy = nGrowBy;
        if (nNewSize <= 0) {
            RemoveAll();
            return;
        }
        GrowStorage(nNewSize);
        for (INT_PTR i = m_nSize; i < nNewSize; ++i)
            ::new (static_cast<void*>(m_pData + i)) TYPE();
        for (INT_PTR i = nNewSize; i < m_nSize; ++i)
            m_pData[i].~TYPE();
        m_nSize = nNewSize;
    }
    void FreeExtra()
    {
        if (m_nSize != m_nMaxSize)
            Reallocate(m_nSize);
    }
    void RemoveAll()
    {
        for (INT_PTR i = 0; i < m_nSize; ++i)
            m_pData[i].~TYPE();
        lqcoll::FreeElements(m_pData);
        m_pData = nullptr;
        m_nSize = m_nMaxSize = 0;
    }

    // Indices must lie in 0..GetUpperBound().
    const TYPE& GetAt(INT_PTR nIndex) const { return m_pData[nIndex]; }
    TYPE& GetAt(INT_PTR nIndex) { return m_pData[nIndex]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_pData[nIndex] = newElement; }
    const TYPE& ElementAt(INT_PTR nIndex) const { return m_pData[nIndex]; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_pData[nIndex]; }
    const TYPE& operator[](INT_PTR nIndex) const { return m_pData[nIndex]; }
    TYPE& operator[](INT_PTR nIndex) { return m_pData[nIndex]; }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }

    // Grows the array to reach nIndex when needed (a negative index does nothing).
    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
    {
        if (nIndex < 0)
            return;
        if (nIndex >= m_nSize) {
            if (IsOwnElement(newElement)) {
                TYPE copy(newElement);
                SetSize(nIndex + 1);
                m_pData[nIndex] = std::move(copy);
                return;
            }
            SetSize(nIndex + 1);
        }
        m_pData[nIndex] = newElement;
    }
    INT_PTR Add(ARG_TYPE newElement)
    {
        const INT_PTR index = m_nSize;
        SetAtGrow(index, newElement);
        return index;
    }
    // Returns the index of the first appended element.
    INT_PTR Append(const CArray& src)
    {
        const INT_PTR oldSize = m_nSize;
        if (&src == this) {
            CArray copy;
            copy.Copy(src);
            return Append(copy);
        }
        SetSize(m_nSize + src.m_nSize);
        for (INT_PTR i = 0; i < src.m_nSize; ++i)
            m_pData[oldSize + i] = src.m_pData[i];
        return oldSize;
    }
    void Copy(const CArray& src)
    {
        if (&src == this)
            return;
        SetSize(src.m_nSize);
        for (INT_PTR i = 0; i < src.m_nSize; ++i)
            m_pData[i] = src.m_pData[i];
    }

    // Inserts nCount copies at nIndex; an index past the end grows the array up to it first.
    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount <= 0)
            return;
        if (IsOwnElement(newElement)) {
            TYPE copy(newElement);
            InsertCopies(nIndex, copy, nCount);
        } else {
            InsertCopies(nIndex, newElement, nCount);
        }
    }
    void InsertAt(INT_PTR nStartIndex, CArray* pNewArray)
    {
        if (!pNewArray || nStartIndex < 0 || pNewArray->m_nSize == 0)
            return;
        if (pNewArray == this) {
            CArray copy;
            copy.Copy(*this);
            InsertAt(nStartIndex, &copy);
            return;
        }
        InsertAt(nStartIndex, pNewArray->m_pData[0], pNewArray->m_nSize);
        for (INT_PTR i = 1; i < pNewArray->m_nSize; ++i)
            m_pData[nStartIndex + i] = pNewArray->m_pData[i];
    }
    // Removes up to nCount elements from nIndex; a range outside the array is clipped to it.
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nIndex >= m_nSize || nCount <= 0)
            return;
        if (nCount > m_nSize - nIndex)
            nCount = m_nSize - nIndex;
        for (INT_PTR i = nIndex; i < nIndex + nCount; ++i)
            m_pData[i].~TYPE();
        Relocate(m_pData + nIndex, m_pData + nIndex + nCount, m_nSize - nIndex - nCount);
        m_nSize -= nCount;
    }

    // A count, then the elements.
    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD_PTR>(m_nSize));
            SerializeElements<TYPE>(ar, m_pData, m_nSize);
            return;
        }
        DWORD_PTR remaining = ar.ReadCount();
        RemoveAll();
        while (remaining > 0) {
            const INT_PTR slice = remaining > static_cast<DWORD_PTR>(lqcoll::kLoadSlice)
                                      ? lqcoll::kLoadSlice
                                      : static_cast<INT_PTR>(remaining);
            const INT_PTR oldSize = m_nSize;
            if (oldSize + slice > m_nMaxSize)
                Reserve(oldSize + slice > 2 * m_nMaxSize ? oldSize + slice : 2 * m_nMaxSize);
            SetSize(oldSize + slice);
            SerializeElements<TYPE>(ar, m_pData + oldSize, slice);
            remaining -= static_cast<DWORD_PTR>(slice);
        }
    }

protected:
    bool IsOwnElement(ARG_TYPE element) const
    {
        const void* p = std::addressof(element);
        return m_pData && p >= static_cast<const void*>(m_pData) && p < static_cast<const void*>(m_pData + m_nSize);
    }
    void InsertCopies(INT_PTR nIndex, const TYPE& value, INT_PTR nCount)
    {
        if (nIndex >= m_nSize) {
            SetSize(nIndex + nCount);
            for (INT_PTR i = nIndex; i < nIndex + nCount; ++i)
                m_pData[i] = value;
            return;
        }
        const INT_PTR oldSize = m_nSize;
        GrowStorage(oldSize + nCount);
        Relocate(m_pData + nIndex + nCount, m_pData + nIndex, oldSize - nIndex);
        for (INT_PTR i = nIndex; i < nIndex + nCount; ++i)
            ::new (static_cast<void*>(m_pData + i)) TYPE(value);
        m_nSize = oldSize + nCount;
    }
    // Makes room for nNeeded elements, growing by the array's step at least.
    void GrowStorage(INT_PTR nNeeded)
    {
        if (nNeeded <= m_nMaxSize)
            return;
        INT_PTR grow = m_nGrowBy;
        if (grow == 0) {
            grow = m_nSize / 8;
            grow = grow < 4 ? 4 : (grow > 1024 ? 1024 : grow);
        }
        Reserve(nNeeded < m_nMaxSize + grow ? m_nMaxSize + grow : nNeeded);
    }

    // Moves n elements to raw storage at dst from src (the ranges may overlap); src is left raw.
    static void Relocate(TYPE* dst, TYPE* src, INT_PTR n)
    {
        if (n <= 0 || dst == src)
            return;
        if constexpr (std::is_trivially_copyable_v<TYPE>) {
            std::memmove(static_cast<void*>(dst), static_cast<const void*>(src), static_cast<size_t>(n) * sizeof(TYPE));
        } else if (dst < src) {
            for (INT_PTR i = 0; i < n; ++i) {
                ::new (static_cast<void*>(dst + i)) TYPE(std::move(src[i]));
                src[i].~TYPE();
            }
        } else {
            for (INT_PTR i = n - 1; i >= 0; --i) {
                ::new (static_cast<void*>(dst + i)) TYPE(std::move(src[i]));
                src[i].~TYPE();
            }
        }
    }
    void Reserve(INT_PTR nMax)
    {
        if (nMax > m_nMaxSize)
            Reallocate(nMax);
    }
    void Reallocate(INT_PTR nMax)
    {
        TYPE* data =
            nMax > 0 ? static_cast<TYPE*>(lqcoll::AllocElements(static_cast<size_t>(nMax), sizeof(TYPE))) : nullptr;
        Relocate(data, m_pData, m_nSize);
        lqcoll::FreeElements(m_pData);
        m_pData = data;
        m_nMaxSize = nMax;
    }

    TYPE* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};

class CPtrArray : public CArray<void*, void*>
{
    DECLARE_DYNAMIC(CPtrArray)
};

class CObArray : public CArray<CObject*, CObject*>
{
    DECLARE_SERIAL(CObArray)
};

class CByteArray : public CArray<BYTE, BYTE>
{
    DECLARE_SERIAL(CByteArray)
};

class CWordArray : public CArray<WORD, WORD>
{
    DECLARE_SERIAL(CWordArray)
};

class CDWordArray : public CArray<DWORD, DWORD>
{
    DECLARE_SERIAL(CDWordArray)
};

class CUIntArray : public CArray<UINT, UINT>
{
    DECLARE_DYNAMIC(CUIntArray)
};

class CStringArray : public CArray<CString, LPCTSTR>
{
    DECLARE_SERIAL(CStringArray)
};

// An array of TYPE pointers over CPtrArray or CObArray.
template <class BASE_CLASS, class TYPE> class CTypedPtrArray : public BASE_CLASS
{
public:
    TYPE GetAt(INT_PTR nIndex) const { return (TYPE)BASE_CLASS::GetAt(nIndex); }
    TYPE& ElementAt(INT_PTR nIndex) { return (TYPE&)BASE_CLASS::ElementAt(nIndex); }
    void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(INT_PTR nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, newElement); }
    INT_PTR Add(TYPE newElement) { return BASE_CLASS::Add(newElement); }
    INT_PTR Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    void InsertAt(INT_PTR nIndex, TYPE newElement, INT_PTR nCount = 1)
    {
        BASE_CLASS::InsertAt(nIndex, newElement, nCount);
    }
    void InsertAt(INT_PTR nStartIndex, CTypedPtrArray* pNewArray) { BASE_CLASS::InsertAt(nStartIndex, pNewArray); }
    TYPE operator[](INT_PTR nIndex) const { return (TYPE)BASE_CLASS::operator[](nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return (TYPE&)BASE_CLASS::operator[](nIndex); }
};

// ---------------------------------------------------------------------------------------------------------------
// Maps

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE> class CMap : public CObject
{
protected:
    struct CAssoc
    {
        CAssoc* pNext;
        UINT nHashValue;
        KEY key;
        VALUE value;
    };

public:
    typedef KEY BASE_KEY;
    typedef ARG_KEY BASE_ARG_KEY;
    typedef VALUE BASE_VALUE;
    typedef ARG_VALUE BASE_ARG_VALUE;

    // nBlockSize: how many associations are allocated at a time.
    explicit CMap(INT_PTR nBlockSize = 10) : m_pool(sizeof(CAssoc), nBlockSize) {}
    ~CMap() override
    {
        RemoveAll();
        lqcoll::FreeElements(m_pHashTable);
    }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    // rValue is left alone when the key is absent.
    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        UINT bucket = 0, hash = 0;
        CAssoc* assoc = GetAssocAt(key, bucket, hash);
        if (!assoc)
            return FALSE;
        rValue = assoc->value;
        return TRUE;
    }
    // The value of the key, added value-initialised when the key is absent.
    VALUE& operator[](ARG_KEY key)
    {
        UINT bucket = 0, hash = 0;
        if (CAssoc* assoc = GetAssocAt(key, bucket, hash))
            return assoc->value;
        if (!m_pHashTable) {
            InitHashTable(m_nHashTableSize);
            bucket = hash % m_nHashTableSize;
        }
        void* raw = m_pool.Alloc();
        CAssoc* assoc;
        try {
            assoc = ::new (raw) CAssoc{m_pHashTable[bucket], hash, KEY(key), VALUE()};
        } catch (...) {
            m_pool.Free(raw);
            throw;
        }
        m_pHashTable[bucket] = assoc;
        ++m_nCount;
        return assoc->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
    BOOL RemoveKey(ARG_KEY key)
    {
        if (!m_pHashTable)
            return FALSE;
        const UINT hash = HashKey<ARG_KEY>(key);
        for (CAssoc** link = &m_pHashTable[hash % m_nHashTableSize]; *link; link = &(*link)->pNext) {
            CAssoc* assoc = *link;
            if (assoc->nHashValue == hash && CompareElements<KEY>(&assoc->key, &key)) {
                *link = assoc->pNext;
                assoc->~CAssoc();
                m_pool.Free(assoc);
                if (--m_nCount == 0)
                    m_pool.FreeAll();
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll()
    {
        if (m_pHashTable) {
            for (UINT i = 0; i < m_nHashTableSize; ++i) {
                for (CAssoc* assoc = m_pHashTable[i]; assoc;) {
                    CAssoc* next = assoc->pNext;
                    assoc->~CAssoc();
                    assoc = next;
                }
                m_pHashTable[i] = nullptr;
            }
        }
        m_nCount = 0;
        m_pool.FreeAll();
    }

    // Walk: pos = GetStartPosition(); while (pos) GetNextAssoc(pos, key, value). Removing the key just
    // returned does not disturb the walk.
    POSITION GetStartPosition() const { return m_nCount == 0 ? NULL : BEFORE_START_POSITION; }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
    {
        CAssoc* assoc =
            rNextPosition == BEFORE_START_POSITION ? NextAssoc(nullptr) : reinterpret_cast<CAssoc*>(rNextPosition);
        if (!assoc) {
            rNextPosition = NULL;
            return;
        }
        rKey = assoc->key;
        rValue = assoc->value;
        rNextPosition = reinterpret_cast<POSITION>(NextAssoc(assoc));
    }

    UINT GetHashTableSize() const { return m_nHashTableSize; }
    // Sets the number of buckets; existing entries move to their new buckets.
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE)
    {
        if (hashSize == 0)
            hashSize = 17;
        CAssoc** oldTable = m_pHashTable;
        const UINT oldSize = m_nHashTableSize;
        m_pHashTable = nullptr;
        m_nHashTableSize = hashSize;
        if (bAllocNow || oldTable) {
            m_pHashTable = static_cast<CAssoc**>(lqcoll::AllocElements(hashSize, sizeof(CAssoc*)));
            std::memset(static_cast<void*>(m_pHashTable), 0, sizeof(CAssoc*) * hashSize);
        }
        if (oldTable) {
            // Keep the relative order of each old chain so that walks stay predictable.
            for (UINT i = oldSize; i-- > 0;) {
                for (CAssoc* assoc = oldTable[i]; assoc;) {
                    CAssoc* next = assoc->pNext;
                    CAssoc** link = &m_pHashTable[assoc->nHashValue % hashSize];
                    assoc->pNext = *link;
                    *link = assoc;
                    assoc = next;
                }
            }
            lqcoll::FreeElements(oldTable);
        }
    }

    // A count, then key and value pairs.
    void Serialize(CArchive& ar) override
    {
        CObject::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
            for (CAssoc* assoc = NextAssoc(nullptr); assoc; assoc = NextAssoc(assoc)) {
                SerializeElements<KEY>(ar, &assoc->key, 1);
                SerializeElements<VALUE>(ar, &assoc->value, 1);
            }
        } else {
            for (DWORD_PTR n = ar.ReadCount(); n > 0; --n) {
                KEY newKey[1] = {};
                VALUE newValue[1] = {};
                SerializeElements<KEY>(ar, newKey, 1);
                SerializeElements<VALUE>(ar, newValue, 1);
                SetAt(newKey[0], newValue[0]);
            }
        }
    }

protected:
    CAssoc* GetAssocAt(ARG_KEY key, UINT& nHashBucket, UINT& nHashValue) const
    {
        nHashValue = HashKey<ARG_KEY>(key);
        nHashBucket = nHashValue % m_nHashTableSize;
        if (!m_pHashTable)
            return nullptr;
        for (CAssoc* assoc = m_pHashTable[nHashBucket]; assoc; assoc = assoc->pNext) {
            if (assoc->nHashValue == nHashValue && CompareElements<KEY>(&assoc->key, &key))
                return assoc;
        }
        return nullptr;
    }
    // The association after assoc in walk order (the first one for nullptr).
    CAssoc* NextAssoc(CAssoc* assoc) const
    {
        if (!m_pHashTable)
            return nullptr;
        if (assoc && assoc->pNext)
            return assoc->pNext;
        for (UINT i = assoc ? assoc->nHashValue % m_nHashTableSize + 1 : 0; i < m_nHashTableSize; ++i) {
            if (m_pHashTable[i])
                return m_pHashTable[i];
        }
        return nullptr;
    }

    CAssoc** m_pHashTable = nullptr;
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
    lqcoll::NodePool m_pool;
};

class CMapPtrToPtr : public CMap<void*, void*, void*, void*>
{
    DECLARE_DYNAMIC(CMapPtrToPtr)
public:
    explicit CMapPtrToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapPtrToWord : public CMap<void*, void*, WORD, WORD>
{
    DECLARE_DYNAMIC(CMapPtrToWord)
public:
    explicit CMapPtrToWord(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapWordToPtr : public CMap<WORD, WORD, void*, void*>
{
    DECLARE_DYNAMIC(CMapWordToPtr)
public:
    explicit CMapWordToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapWordToOb : public CMap<WORD, WORD, CObject*, CObject*>
{
    DECLARE_SERIAL(CMapWordToOb)
public:
    explicit CMapWordToOb(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapStringToPtr : public CMap<CString, LPCTSTR, void*, void*>
{
    DECLARE_DYNAMIC(CMapStringToPtr)
public:
    explicit CMapStringToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapStringToOb : public CMap<CString, LPCTSTR, CObject*, CObject*>
{
    DECLARE_SERIAL(CMapStringToOb)
public:
    explicit CMapStringToOb(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapStringToString : public CMap<CString, LPCTSTR, CString, LPCTSTR>
{
    DECLARE_SERIAL(CMapStringToString)
public:
    explicit CMapStringToString(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

// A map with typed keys and pointer values over one of the classic maps.
template <class BASE_CLASS, class KEY, class VALUE> class CTypedPtrMap : public BASE_CLASS
{
public:
    explicit CTypedPtrMap(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}

    BOOL Lookup(typename BASE_CLASS::BASE_ARG_KEY key, VALUE& rValue) const
    {
        typename BASE_CLASS::BASE_VALUE value{};
        if (!BASE_CLASS::Lookup(key, value))
            return FALSE;
        rValue = (VALUE)value;
        return TRUE;
    }
    VALUE& operator[](typename BASE_CLASS::BASE_ARG_KEY key) { return (VALUE&)BASE_CLASS::operator[](key); }
    void SetAt(KEY key, VALUE newValue) { BASE_CLASS::SetAt((typename BASE_CLASS::BASE_ARG_KEY)key, newValue); }
    BOOL RemoveKey(KEY key) { return BASE_CLASS::RemoveKey((typename BASE_CLASS::BASE_ARG_KEY)key); }
    void GetNextAssoc(POSITION& rPosition, KEY& rKey, VALUE& rValue) const
    {
        typename BASE_CLASS::BASE_KEY key{};
        typename BASE_CLASS::BASE_VALUE value{};
        BASE_CLASS::GetNextAssoc(rPosition, key, value);
        rKey = (KEY)key;
        rValue = (VALUE)value;
    }
};
