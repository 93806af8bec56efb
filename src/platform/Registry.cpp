#include "platform/Registry.h"

#include "platform/SystemInfoRegistry.h"

namespace quelvane {
Seam<RegistryBackend> RegistrySeam(MadeOnFirstUse<RegistryBackend, SystemInfoRegistry>);

} // namespace quelvane
