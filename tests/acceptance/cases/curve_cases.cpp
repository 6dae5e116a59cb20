#include "curve_cases.h"

#include <utility>
#include <vector>

namespace acceptance {

void AddRows(std::vector<Case>& cases, const std::vector<CurveRow>& rows) {
  for (const CurveRow& r : rows) cases.push_back(OnCurve(r.name, r.call, r.status, {r.value}, r.tolerance, r.curve));
}

Case HandedCase(std::string name, CurveCall call, Handed h, std::int32_t status, double value, double tolerance) {
  const bool result = h != Handed::kNullResult;
  return {std::move(name),
          [call, h, result](const Api& api, std::vector<double>& values) {
            Array flat(FlatCurve(36526, 0.05));
            Array oneDimensional(VT_R8, {{4, 0}});
            Array threeDimensional(VT_R8, {{2, 0}, {2, 0}, {2, 0}});
            Array columnsFrom1({{36526, 0.05}}, 0, 1);
            Array integers(VT_I4, {{3, 0}, {2, 0}});
            Array empty(VT_R8, {{0, 0}, {2, 0}});
            SAFEARRAY* none = nullptr;
            SAFEARRAY** arrays[] = {&none,           oneDimensional.get(), threeDimensional.get(), columnsFrom1.get(),
                                    integers.get(), empty.get(),          flat.get()};
            double v = -1.0;
            const std::int32_t s = call(api, arrays[static_cast<int>(h)], result ? &v : nullptr);
            if (result) values.push_back(v);
            return s;
          },
          status, result ? std::vector<double>{value} : std::vector<double>{}, tolerance};
}

}  // namespace acceptance
