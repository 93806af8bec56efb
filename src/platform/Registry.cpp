#include "platform/Registry.h"

#include "platform/SystemInfoRegistry.h"

namespace quelvane {
constinit Seam<RegistryBackend> RegistrySeam(MadeOnFirstUse<RegistryBackend, SystemInfoRegistry>);

} // namespace quelvane
