/* The public header is plain C: build a curve and price a bond from C. */
#include <math.h>
#include <stdio.h>

#include "lorvex/lorvex.h"

int main(void) {
  SAFEARRAYBOUND bounds[2];
  SAFEARRAY* curve;
  LONG index[2];
  double x = 36526.0, y = 0.05, price = 0.0;
  int32_t status;

  bounds[0].cElements = 1;
  bounds[0].lLbound = 0;
  bounds[1].cElements = 2;
  bounds[1].lLbound = 0;
  curve = SafeArrayCreate(VT_R8, 2, bounds);
  if (curve == NULL) return 1;
  index[0] = 0;
  index[1] = 0;
  SafeArrayPutElement(curve, index, &x);
  index[1] = 1;
  SafeArrayPutElement(curve, index, &y);

  status = HW_BondPrice(36526, 2.0, 0.06, 100.0, 2, &curve, &price);
  SafeArrayDestroy(curve);
  printf("HW_BondPrice status %d price %.7f\n", (int)status, price);
  return (status == LORVEX_OK && fabs(price - 101.7622758) < 5e-8) ? 0 : 1;
}
