// SPDX-License-Identifier: MIT
#pragma once

#include "EnumTable.h"

// How a running session treats other applications.
enum class LockMode { hideApps, preventLaunch, overlay };

// The challenge that guards leaving a strict session early.
enum class StrictModeType { none, sentence, math, password };

// The kind of overlay background.
enum class OverlayBackgroundType { system, solid, gradient, image };

template<> struct EnumTraits<LockMode>
{
    static std::span<const EnumRow<LockMode>> rows();
};
template<> struct EnumTraits<StrictModeType>
{
    static std::span<const EnumRow<StrictModeType>> rows();
};
template<> struct EnumTraits<OverlayBackgroundType>
{
    static std::span<const EnumRow<OverlayBackgroundType>> rows();
};
