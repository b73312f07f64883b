#include "winlib/system/physical_points.h"

namespace {

PointConversionFunction Lookup(HMODULE user32, const char* name) {
  return reinterpret_cast<PointConversionFunction>(
      reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

// The conversions in force: the system's once looked up, or a test's; none until then.
std::optional<PointConversions>& Current() {
  static std::optional<PointConversions> conversions;
  return conversions;
}

const PointConversions& Conversions() {
  if (!Current().has_value()) Current() = SystemPointConversions();
  return *Current();
}

POINT Converted(PointConversionFunction convert, HWND window, POINT point) {
  // The top-level window's scaling is the one its children are drawn with; a child's own
  // covers only where it overlaps its parent.
  const HWND top = GetAncestor(window, GA_ROOT);
  POINT converted = point;
  if (convert != nullptr && convert(top != nullptr ? top : window, &converted)) return converted;
  return point;
}

}  // namespace

PointConversions SystemPointConversions() {
  PointConversions conversions;
  const HMODULE user32 = GetModuleHandleA("user32.dll");  // imported: always loaded
  if (user32 == nullptr) return conversions;
  conversions.toPhysical = Lookup(user32, "LogicalToPhysicalPointForPerMonitorDPI");
  conversions.toLogical = Lookup(user32, "PhysicalToLogicalPointForPerMonitorDPI");
  // From 8.1 on the older pair converts nothing: it is taken only where the newer is missing.
  if (conversions.toPhysical == nullptr || conversions.toLogical == nullptr) {
    conversions.toPhysical = Lookup(user32, "LogicalToPhysicalPoint");
    conversions.toLogical = Lookup(user32, "PhysicalToLogicalPoint");
  }
  return conversions;
}

POINT LogicalToPhysical(HWND window, POINT point) {
  return Converted(Conversions().toPhysical, window, point);
}

POINT PhysicalToLogical(HWND window, POINT point) {
  return Converted(Conversions().toLogical, window, point);
}

PointConversionsOverride::PointConversionsOverride(PointConversions conversions)
    : ScopedAssignment(Current(), conversions) {}
