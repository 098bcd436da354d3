#include "app/U_modules.h"

QString ModuleMutexName(std::uint32_t moduleId)
{
    for (const TModuleInfo &m : gModules)
        if (m.ModuleId == moduleId)
            return QString::fromLatin1(m.MutexName);
    return {};
}
