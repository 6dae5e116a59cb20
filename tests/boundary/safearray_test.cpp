// The portable SAFEARRAY layer behaves as OLE Automation does.
#include <gtest/gtest.h>

#include "lorvex/safearray.h"

namespace {

TEST(SafeArray, BoundsAreGivenLeftmostFirstAndStoredRightmostFirst) {
  SAFEARRAYBOUND bounds[2] = {{3, 1}, {2, 0}};  // rows 1 To 3, columns 0 To 1
  SAFEARRAY* psa = SafeArrayCreate(VT_R8, 2, bounds);
  ASSERT_NE(psa, nullptr);
  EXPECT_EQ(SafeArrayGetDim(psa), 2u);
  EXPECT_EQ(psa->cbElements, 8u);
  EXPECT_EQ(psa->rgsabound[0].cElements, 2u);  // the last dimension first
  EXPECT_EQ(psa->rgsabound[1].lLbound, 1);
  LONG lb = -1, ub = -1;
  EXPECT_EQ(SafeArrayGetLBound(psa, 1, &lb), S_OK);
  EXPECT_EQ(SafeArrayGetUBound(psa, 1, &ub), S_OK);
  EXPECT_EQ(lb, 1);
  EXPECT_EQ(ub, 3);
  EXPECT_EQ(SafeArrayGetUBound(psa, 2, &ub), S_OK);
  EXPECT_EQ(ub, 1);
  EXPECT_EQ(SafeArrayGetLBound(psa, 0, &lb), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayGetLBound(psa, 3, &lb), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayDestroy(psa), S_OK);
}

TEST(SafeArray, ElementsRoundTripAndDimensionOneVariesFastest) {
  SAFEARRAYBOUND bounds[2] = {{3, 0}, {2, 0}};
  SAFEARRAY* psa = SafeArrayCreate(VT_R8, 2, bounds);
  ASSERT_NE(psa, nullptr);
  for (LONG r = 0; r < 3; ++r) {
    for (LONG c = 0; c < 2; ++c) {
      LONG index[2] = {r, c};
      double v = 10.0 * r + c;
      ASSERT_EQ(SafeArrayPutElement(psa, index, &v), S_OK);
    }
  }
  const double* data = static_cast<const double*>(psa->pvData);
  const double layout[] = {0, 10, 20, 1, 11, 21};  // column-major, as VBA stores it
  for (int i = 0; i < 6; ++i) EXPECT_EQ(data[i], layout[i]);
  LONG index[2] = {2, 1};
  double v = 0;
  EXPECT_EQ(SafeArrayGetElement(psa, index, &v), S_OK);
  EXPECT_EQ(v, 21.0);
  LONG outside[2] = {3, 0};
  EXPECT_EQ(SafeArrayGetElement(psa, outside, &v), DISP_E_BADINDEX);
  LONG negative[2] = {0, -1};
  EXPECT_EQ(SafeArrayPutElement(psa, negative, &v), DISP_E_BADINDEX);
  SafeArrayDestroy(psa);
}

TEST(SafeArray, NullArraysAndUnsupportedTypes) {
  LONG bound = 0;
  LONG index[1] = {0};
  double v = 0;
  EXPECT_EQ(SafeArrayGetLBound(nullptr, 1, &bound), E_INVALIDARG);
  EXPECT_EQ(SafeArrayGetElement(nullptr, index, &v), E_INVALIDARG);
  EXPECT_EQ(SafeArrayGetDim(nullptr), 0u);
  EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
  SAFEARRAYBOUND one = {4, 0};
  EXPECT_EQ(SafeArrayCreate(8 /* VT_BSTR */, 1, &one), nullptr);
  EXPECT_EQ(SafeArrayCreate(VT_R8, 0, &one), nullptr);
  SAFEARRAY* ints = SafeArrayCreate(VT_I4, 1, &one);
  ASSERT_NE(ints, nullptr);
  EXPECT_EQ(ints->cbElements, 4u);
  SafeArrayDestroy(ints);
}

TEST(SafeArray, EmptyDimensionHasUpperBoundBelowLowerBound) {
  SAFEARRAYBOUND bounds[2] = {{0, 0}, {2, 0}};
  SAFEARRAY* psa = SafeArrayCreate(VT_R8, 2, bounds);
  ASSERT_NE(psa, nullptr);
  LONG lb = 0, ub = 0;
  SafeArrayGetLBound(psa, 1, &lb);
  SafeArrayGetUBound(psa, 1, &ub);
  EXPECT_EQ(lb, 0);
  EXPECT_EQ(ub, -1);
  SafeArrayDestroy(psa);
}

}  // namespace
