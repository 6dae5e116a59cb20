// The portable subset of OLE Automation's SAFEARRAY API, for platforms that
// have no OLE. The observable behaviour follows OLE: bounds are given
// leftmost dimension first and stored rightmost first, elements are laid out
// with dimension 1 varying fastest, and failures are reported as HRESULTs.
#if !defined(_WIN32)

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "lorvex/safearray.h"

namespace {

// A descriptor with cDims bounds in one block, followed by the data.
std::size_t DescriptorBytes(UINT cDims) {
  return sizeof(SAFEARRAY) + (cDims - 1) * sizeof(SAFEARRAYBOUND);
}

// Offset in elements of the cell at rgIndices, or -1 when any index is
// outside its dimension.
std::int64_t CellOffset(const SAFEARRAY* psa, const LONG* rgIndices) {
  std::int64_t cell = 0;
  std::int64_t stride = 1;
  for (UINT dim = 0; dim < psa->cDims; ++dim) {
    const SAFEARRAYBOUND& bound = psa->rgsabound[psa->cDims - 1 - dim];
    const std::int64_t offset = static_cast<std::int64_t>(rgIndices[dim]) - bound.lLbound;
    if (offset < 0 || offset >= static_cast<std::int64_t>(bound.cElements)) return -1;
    cell += offset * stride;
    stride *= bound.cElements;
  }
  return cell;
}

}  // namespace

extern "C" {

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) {
  ULONG elementBytes;
  if (vt == VT_R8) {
    elementBytes = 8;
  } else if (vt == VT_I4) {
    elementBytes = 4;
  } else {
    return nullptr;
  }
  if (cDims == 0 || cDims > 60 || rgsabound == nullptr) return nullptr;
  std::uint64_t cells = 1;
  for (UINT i = 0; i < cDims; ++i) {
    cells *= rgsabound[i].cElements;
    if (cells > std::numeric_limits<std::uint32_t>::max()) return nullptr;
  }
  const std::size_t header = DescriptorBytes(cDims);
  const std::size_t dataOffset = (header + 15) / 16 * 16;
  const std::uint64_t total = dataOffset + cells * elementBytes;
  if (total > std::numeric_limits<std::size_t>::max() / 2) return nullptr;
  void* block = std::calloc(1, static_cast<std::size_t>(total));
  if (block == nullptr) return nullptr;
  auto* psa = static_cast<SAFEARRAY*>(block);
  psa->cDims = static_cast<USHORT>(cDims);
  psa->fFeatures = 0;
  psa->cbElements = elementBytes;
  psa->cLocks = 0;
  psa->pvData = static_cast<unsigned char*>(block) + dataOffset;
  for (UINT i = 0; i < cDims; ++i) psa->rgsabound[cDims - 1 - i] = rgsabound[i];
  return psa;
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
  std::free(psa);
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) { return psa == nullptr ? 0 : psa->cDims; }

static HRESULT GetBound(SAFEARRAY* psa, UINT nDim, LONG* out, bool upper) {
  if (psa == nullptr || out == nullptr) return E_INVALIDARG;
  if (nDim < 1 || nDim > psa->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& bound = psa->rgsabound[psa->cDims - nDim];
  if (upper) {
    *out = static_cast<LONG>(static_cast<std::int64_t>(bound.lLbound) + bound.cElements - 1);
  } else {
    *out = bound.lLbound;
  }
  return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
  return GetBound(psa, nDim, plLbound, false);
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
  return GetBound(psa, nDim, plUbound, true);
}

HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
  if (psa == nullptr || rgIndices == nullptr || pv == nullptr) return E_INVALIDARG;
  const std::int64_t cell = CellOffset(psa, rgIndices);
  if (cell < 0) return DISP_E_BADINDEX;
  std::memcpy(pv, static_cast<unsigned char*>(psa->pvData) + cell * psa->cbElements,
              psa->cbElements);
  return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
  if (psa == nullptr || rgIndices == nullptr || pv == nullptr) return E_INVALIDARG;
  const std::int64_t cell = CellOffset(psa, rgIndices);
  if (cell < 0) return DISP_E_BADINDEX;
  std::memcpy(static_cast<unsigned char*>(psa->pvData) + cell * psa->cbElements, pv,
              psa->cbElements);
  return S_OK;
}

}  // extern "C"

#endif  // !_WIN32
