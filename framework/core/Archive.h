// CArchive: the framework's binary serialisation over a CFile, in the byte format that stored layouts keep.
// Integers are little-endian at their own width; counts, strings and object tags use the compact forms below.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Object.h"

class CFile;

class CArchive
{
public:
    enum Mode
    {
        store = 0,
        load = 1,
        bNoFlushOnDelete = 2,
        bNoByteSwap = 4
    };

    // The file stays the caller's; the archive only buffers (nBufSize bytes) in front of it.
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = NULL);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsByteSwapping() const { return FALSE; }
    // TRUE when a loading archive holds no unread bytes in its buffer.
    BOOL IsBufferEmpty() const;
    CFile* GetFile() const { return m_pFile; }

    // The schema of the object being loaded, once: later calls give (UINT)-1 until the next object.
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    // Raw bytes. Read returns how many bytes it got (fewer at the end of the data).
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Storing: hands buffered bytes to the file. Loading: puts the file back where the archive has read to.
    void Flush();
    void Close();
    void Abort();

    // Objects: a null tag, a reference to an object already in this archive, or a class (new or referenced)
    // followed by the object's Serialize data. Reading checks the class against pClassRefRequested.
    void WriteObject(const CObject* pOb);
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
    void WriteClass(const CRuntimeClass* pClassRef);
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = NULL, UINT* pSchema = NULL,
                             DWORD* pObTag = NULL);
    void SerializeClass(const CRuntimeClass* pClassRef);
    // Makes an object known to the archive without writing it, so that later references can name it.
    void MapObject(const CObject* pOb);
    void SetStoreParams(UINT nHashSize = 2053, UINT nBlockSize = 128);
    void SetLoadParams(UINT nGrowBy = 1024);

    // Counts: a WORD below 0xFFFF, else 0xFFFF and a DWORD below 0xFFFFFFFF, else that and a 64-bit value.
    void WriteCount(DWORD_PTR dwCount);
    DWORD_PTR ReadCount();

    CArchive& operator<<(BYTE by) { return WriteValue(by); }
    CArchive& operator<<(WORD w) { return WriteValue(w); }
    CArchive& operator<<(LONG l) { return WriteValue(l); }
    CArchive& operator<<(DWORD dw) { return WriteValue(dw); }
    CArchive& operator<<(float f) { return WriteValue(f); }
    CArchive& operator<<(double d) { return WriteValue(d); }
    CArchive& operator<<(LONGLONG n) { return WriteValue(n); }
    CArchive& operator<<(ULONGLONG n) { return WriteValue(n); }
    CArchive& operator<<(int i) { return WriteValue(i); }
    CArchive& operator<<(short s) { return WriteValue(s); }
    CArchive& operator<<(char ch) { return WriteValue(ch); }
    CArchive& operator<<(wchar_t ch) { return WriteValue(ch); }
    CArchive& operator<<(unsigned u) { return WriteValue(u); }

    CArchive& operator>>(BYTE& by) { return ReadValue(by); }
    CArchive& operator>>(WORD& w) { return ReadValue(w); }
    CArchive& operator>>(LONG& l) { return ReadValue(l); }
    CArchive& operator>>(DWORD& dw) { return ReadValue(dw); }
    CArchive& operator>>(float& f) { return ReadValue(f); }
    CArchive& operator>>(double& d) { return ReadValue(d); }
    CArchive& operator>>(LONGLONG& n) { return ReadValue(n); }
    CArchive& operator>>(ULONGLONG& n) { return ReadValue(n); }
    CArchive& operator>>(int& i) { return ReadValue(i); }
    CArchive& operator>>(short& s) { return ReadValue(s); }
    CArchive& operator>>(char& ch) { return ReadValue(ch); }
    CArchive& operator>>(wchar_t& ch) { return ReadValue(ch); }
    CArchive& operator>>(unsigned& u) { return ReadValue(u); }

    CArchive& operator<<(const CObject* pOb)
    {
        WriteObject(pOb);
        return *this;
    }

    // Whatever the owner wants its objects to see while they serialise (the toolkit passes its manager).
    void* m_pDocument;
    CString m_strFileName;

    // Storing a null object.
    static constexpr WORD wNullTag = 0;
    // Storing a class for the first time: the tag, then the class record.
    static constexpr WORD wNewClassTag = 0xFFFF;
    // Set in a 16-bit tag that refers to a class stored before.
    static constexpr WORD wClassTag = 0x8000;
    // Set in a 32-bit tag that refers to a class stored before.
    static constexpr DWORD dwBigClassTag = 0x80000000;
    // Followed by a 32-bit tag, for indices that do not fit in 15 bits.
    static constexpr WORD wBigObjectTag = 0x7FFF;
    static constexpr DWORD nMaxMapCount = 0x3FFFFFFE;

private:
    struct MapState;

    template <typename T> CArchive& WriteValue(T value)
    {
        CheckStoring();
        Write(&value, sizeof(T));
        return *this;
    }
    template <typename T> CArchive& ReadValue(T& value)
    {
        CheckLoading();
        ReadExact(&value, sizeof(T));
        return *this;
    }
    void CheckStoring() const;
    void CheckLoading() const;
    // Reads nBytes or raises endOfFile.
    void ReadExact(void* lpBuf, UINT nBytes);
    void FillBuffer();
    void FlushBuffer();
    MapState& Maps();

    CFile* m_pFile;
    UINT m_nMode;
    UINT m_nObjectSchema;
    BYTE* m_lpBufStart;
    BYTE* m_lpBufCur;
    BYTE* m_lpBufMax;
    UINT m_nBufSize;
    BOOL m_bUserBuf;
    MapState* m_pMaps;
};

// Strings: a UTF-16 string is marked by 0xFF 0xFE 0xFF; the length in characters follows as a BYTE below 0xFF,
// else 0xFF and a WORD below 0xFFFE, else 0xFFFF and a DWORD below 0xFFFFFFFF, else 0xFFFFFFFF and a 64-bit
// value; then the characters without a terminator. Narrow strings have no marker. Reading takes either form and
// converts through the ANSI code page when the widths differ.
CArchive& AFXAPI operator<<(CArchive& ar, const CString& string);
CArchive& AFXAPI operator>>(CArchive& ar, CString& string);
CArchive& AFXAPI operator<<(CArchive& ar, const CStringA& string);
CArchive& AFXAPI operator>>(CArchive& ar, CStringA& string);

// A null or earlier-stored object comes back as such; anything else is created from its stored class.
CArchive& AFXAPI operator>>(CArchive& ar, CObject*& pOb);
CArchive& AFXAPI operator>>(CArchive& ar, const CObject*& pOb);

// Geometry as its platform structure: SIZE and POINT 8 bytes, RECT 16 bytes.
CArchive& AFXAPI operator<<(CArchive& ar, SIZE size);
CArchive& AFXAPI operator<<(CArchive& ar, POINT point);
CArchive& AFXAPI operator<<(CArchive& ar, const RECT& rect);
CArchive& AFXAPI operator>>(CArchive& ar, SIZE& size);
CArchive& AFXAPI operator>>(CArchive& ar, POINT& point);
CArchive& AFXAPI operator>>(CArchive& ar, RECT& rect);
