#pragma once

#include <QString>

#include <array>
#include <cstdint>

// The module table of the family of programs that share the single-instance
// guard; this program needs only its own row.
struct TModuleInfo
{
    std::uint32_t ModuleId;
    const char *WindowName;
    const char *MutexName;
};

inline constexpr std::uint32_t MODULE_SM_WEB = 0x4005;

inline constexpr std::array<TModuleInfo, 1> gModules{{
    {MODULE_SM_WEB, "Domvel-E-Vadiv", "_SINGLE_INSTANCE_SM_WEB_"},
}};

// The mutex name of the first row with the id; empty when no row has it.
QString ModuleMutexName(std::uint32_t moduleId);
