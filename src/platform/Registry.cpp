#include "platform/Registry.h"

#include "platform/SystemInfoRegistry.h"

namespace quelvane {
namespace {
RegistryBackend *g_backend = nullptr;
} // namespace

RegistryBackend &Registry()
{
    static SystemInfoRegistry system;
    return g_backend ? *g_backend : system;
}

RegistryBackend *SetRegistryBackend(RegistryBackend *backend)
{
    RegistryBackend *previous = g_backend;
    g_backend = backend;
    return previous;
}

} // namespace quelvane
