/* Two-dimensional arrays of doubles as spreadsheets pass them.
 *
 * On Windows this is OLE Automation itself. Elsewhere liblorvex exports a
 * small portable subset of the same API under the same names, so that C,
 * C++ and Python (ctypes) callers build curve arrays exactly as a VBA macro
 * does: SafeArrayCreate with the bounds of each dimension (rgsabound[0] is
 * dimension 1, the rows), SafeArrayPutElement with indices[0] the row and
 * indices[1] the column, SafeArrayDestroy when done.
 */
#ifndef LORVEX_SAFEARRAY_H
#define LORVEX_SAFEARRAY_H

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <oleauto.h>
#else

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifndef LORVEX_API
#define LORVEX_API __attribute__((visibility("default")))
#endif

typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint16_t USHORT;
typedef unsigned int UINT;
typedef uint16_t VARTYPE;
typedef int32_t HRESULT;

#define VT_I4 3
#define VT_R8 5
#define S_OK ((HRESULT)0)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define DISP_E_BADINDEX ((HRESULT)0x8002000B)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)

typedef struct tagSAFEARRAYBOUND {
  ULONG cElements;
  LONG lLbound;
} SAFEARRAYBOUND;

/* Bounds are stored rightmost dimension first, as OLE does: rgsabound[0]
 * describes the last dimension, rgsabound[cDims - 1] dimension 1. */
typedef struct tagSAFEARRAY {
  USHORT cDims;
  USHORT fFeatures;
  ULONG cbElements;
  ULONG cLocks;
  void* pvData;
  SAFEARRAYBOUND rgsabound[1];
} SAFEARRAY;

/* VT_R8 (8-byte doubles) or VT_I4 (4-byte integers); elements start at 0.
 * NULL for another type, no dimensions, or when memory runs out. */
LORVEX_API SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound);
LORVEX_API HRESULT SafeArrayDestroy(SAFEARRAY* psa);
LORVEX_API UINT SafeArrayGetDim(SAFEARRAY* psa);
/* nDim counts from 1; a bad dimension gives DISP_E_BADINDEX. */
LORVEX_API HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound);
LORVEX_API HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound);
/* rgIndices[0] indexes dimension 1; an index out of bounds gives
 * DISP_E_BADINDEX. Copies cbElements bytes. */
LORVEX_API HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv);
LORVEX_API HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv);

#ifdef __cplusplus
}
#endif

#endif /* _WIN32 */
#endif /* LORVEX_SAFEARRAY_H */
