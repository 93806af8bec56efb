#include "forms/Forms.h"

#include <algorithm>
#include <vector>

#include "forms/FormInstance.h"

namespace quelvane {
namespace {

struct Loaded {
    int closeOrder;
    void (*unload)();
};

// The windows loaded now, by close order; those of one order as they loaded.
std::vector<Loaded> g_loaded;

} // namespace

void RegisterLoadedForm(int closeOrder, void (*unload)())
{
    const auto after = std::upper_bound(g_loaded.begin(), g_loaded.end(), closeOrder,
                                        [](int order, const Loaded &form) { return order < form.closeOrder; });
    g_loaded.insert(after, {closeOrder, unload});
}

void UnregisterLoadedForm(void (*unload)())
{
    std::erase_if(g_loaded, [unload](const Loaded &form) { return form.unload == unload; });
}

void UnloadViewersAndSheet()
{
    // A copy: each unload takes its window off the list.
    for (const Loaded &form : std::vector(g_loaded)) {
        if (form.closeOrder >= 0)
            form.unload();
    }
}

void UnloadAllForms()
{
    UnloadViewersAndSheet();
    for (const Loaded &form : std::vector(g_loaded))
        form.unload();
}

} // namespace quelvane
