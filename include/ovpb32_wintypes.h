/*
 * Windows types of the Ovpb32 interface, for builds without <windows.h>.
 *
 * Sizes and layouts are those of Windows: LONG is 32 bits even where the C
 * long is 64, and WCHAR is a UTF-16 unit (char16_t), never the 32-bit wchar_t
 * of Linux, so counts and byte sizes of wide text match the Windows build.
 */
#ifndef OVPB32_WINTYPES_H
#define OVPB32_WINTYPES_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
typedef char16_t WCHAR;
#else
#include <uchar.h>
typedef char16_t WCHAR;
#endif

typedef int BOOL;
typedef int INT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef char CHAR;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef int32_t HRESULT;
typedef DWORD LCID;
typedef DWORD COLORREF;
typedef uintptr_t UINT_PTR;
typedef intptr_t INT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;

typedef void *LPVOID;
typedef const void *LPCVOID;
typedef CHAR *LPSTR;
typedef const CHAR *LPCSTR;
typedef WCHAR *LPWSTR;
typedef const WCHAR *LPCWSTR;
typedef BYTE *LPBYTE;
typedef DWORD *LPDWORD;
typedef BOOL *LPBOOL;

/* Handles are opaque pointers as on Windows; an HFILE is an open file
 * descriptor (from open(2)), see ReadLine1 in ovpb32.h. */
typedef void *HANDLE;
typedef struct OvHwnd__ *HWND;
typedef struct OvHdc__ *HDC;
typedef struct OvHbitmap__ *HBITMAP;
typedef struct OvHinstance__ *HINSTANCE;
typedef HINSTANCE HMODULE;
typedef int HFILE;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define HFILE_ERROR ((HFILE)-1)

typedef struct _GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} GUID;

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *LPFILETIME;

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME, *LPSYSTEMTIME;

typedef union _LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
} LARGE_INTEGER;

typedef struct _NUMBERFMTA {
    UINT NumDigits;
    UINT LeadingZero;
    UINT Grouping;
    LPSTR lpDecimalSep;
    LPSTR lpThousandSep;
    UINT NegativeOrder;
} NUMBERFMTA;

typedef struct _CURRENCYFMTA {
    UINT NumDigits;
    UINT LeadingZero;
    UINT Grouping;
    LPSTR lpDecimalSep;
    LPSTR lpThousandSep;
    UINT NegativeOrder;
    UINT PositiveOrder;
    LPSTR lpCurrencySymbol;
} CURRENCYFMTA;

typedef WORD FILEOP_FLAGS;

typedef struct _SHFILEOPSTRUCTA {
    HWND hwnd;
    UINT wFunc;
    LPCSTR pFrom;
    LPCSTR pTo;
    FILEOP_FLAGS fFlags;
    BOOL fAnyOperationsAborted;
    LPVOID hNameMappings;
    LPCSTR lpszProgressTitle;
} SHFILEOPSTRUCTA, *LPSHFILEOPSTRUCTA;

/* The runtime's directory search record: 64-bit times (seconds since 1970),
 * 32-bit size. */
struct _finddata64i32_t {
    unsigned attrib;
    int64_t time_create;
    int64_t time_access;
    int64_t time_write;
    uint32_t size;
    char name[260];
};

/* ---- COM streams, with the Windows layout -------------------------------- */

typedef union _ULARGE_INTEGER {
    struct {
        DWORD LowPart;
        DWORD HighPart;
    } u;
    ULONGLONG QuadPart;
} ULARGE_INTEGER;

typedef GUID IID;
typedef GUID CLSID;
typedef WCHAR *LPOLESTR;

typedef struct tagSTATSTG {
    LPOLESTR pwcsName;
    DWORD type;
    ULARGE_INTEGER cbSize;
    FILETIME mtime;
    FILETIME ctime;
    FILETIME atime;
    DWORD grfMode;
    DWORD grfLocksSupported;
    CLSID clsid;
    DWORD grfStateBits;
    DWORD reserved;
} STATSTG;

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define STG_E_INVALIDFUNCTION ((HRESULT)0x80030001L)
#define STREAM_SEEK_SET 0
#define STREAM_SEEK_CUR 1
#define STREAM_SEEK_END 2
#define STDMETHODCALLTYPE

/* The vtable holds IUnknown's, then ISequentialStream's, then IStream's
 * methods, in Windows' order; C++ sees it as classes of pure virtual
 * methods without a destructor, C as a struct of function pointers. */
#ifdef __cplusplus
typedef const IID &REFIID;

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

struct ISequentialStream : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Read(void *buffer, ULONG count, ULONG *read) = 0;
    virtual HRESULT STDMETHODCALLTYPE Write(const void *buffer, ULONG count, ULONG *written) = 0;
};

struct IStream : public ISequentialStream {
    virtual HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER *position) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) = 0;
    virtual HRESULT STDMETHODCALLTYPE CopyTo(IStream *target, ULARGE_INTEGER count, ULARGE_INTEGER *read,
                                             ULARGE_INTEGER *written) = 0;
    virtual HRESULT STDMETHODCALLTYPE Commit(DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Revert() = 0;
    virtual HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stat(STATSTG *stat, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IStream **copy) = 0;
};
#else
typedef const IID *REFIID;
typedef struct IStream IStream;
typedef struct IStreamVtbl {
    HRESULT (*QueryInterface)(IStream *self, REFIID iid, void **object);
    ULONG (*AddRef)(IStream *self);
    ULONG (*Release)(IStream *self);
    HRESULT (*Read)(IStream *self, void *buffer, ULONG count, ULONG *read);
    HRESULT (*Write)(IStream *self, const void *buffer, ULONG count, ULONG *written);
    HRESULT (*Seek)(IStream *self, LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER *position);
    HRESULT (*SetSize)(IStream *self, ULARGE_INTEGER size);
    HRESULT (*CopyTo)(IStream *self, IStream *target, ULARGE_INTEGER count, ULARGE_INTEGER *read,
                      ULARGE_INTEGER *written);
    HRESULT (*Commit)(IStream *self, DWORD flags);
    HRESULT (*Revert)(IStream *self);
    HRESULT (*LockRegion)(IStream *self, ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type);
    HRESULT (*UnlockRegion)(IStream *self, ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type);
    HRESULT (*Stat)(IStream *self, STATSTG *stat, DWORD flags);
    HRESULT (*Clone)(IStream *self, IStream **copy);
} IStreamVtbl;
struct IStream {
    const IStreamVtbl *lpVtbl;
};
#endif

/* Message box styles and results the library uses. */
#define MB_OK 0x00000000u
#define MB_ICONEXCLAMATION 0x00000030u
#define IDOK 1

#endif /* OVPB32_WINTYPES_H */
