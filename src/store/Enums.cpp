// SPDX-License-Identifier: MIT
#include "Enums.h"

#include <array>

std::span<const EnumRow<LockMode>> EnumTraits<LockMode>::rows()
{
    static constexpr std::array<EnumRow<LockMode>, 3> table{{
        {LockMode::hideApps, "hideApps", QT_TRANSLATE_NOOP("Enums", "Hide Apps"), "eye.slash"},
        {LockMode::preventLaunch, "preventLaunch", QT_TRANSLATE_NOOP("Enums", "Prevent Launch"), "lock"},
        {LockMode::overlay, "overlay", QT_TRANSLATE_NOOP("Enums", "Overlay"), "rectangle.on.rectangle"},
    }};
    return table;
}

std::span<const EnumRow<StrictModeType>> EnumTraits<StrictModeType>::rows()
{
    static constexpr std::array<EnumRow<StrictModeType>, 4> table{{
        {StrictModeType::none, "none", QT_TRANSLATE_NOOP("Enums", "None"), "checkmark.circle", ""},
        {StrictModeType::sentence, "sentence", QT_TRANSLATE_NOOP("Enums", "Sentence Typing"), "text.quote",
         QT_TRANSLATE_NOOP("Enums", "Recommended for spiritual/meaningful focus. Type a personal commitment "
                                    "to prove you're serious.")},
        {StrictModeType::math, "math", QT_TRANSLATE_NOOP("Enums", "Math Problem"), "number",
         QT_TRANSLATE_NOOP(
             "Enums",
             "Good for general focus. Requires mental effort to solve, discouraging impulse quits.")},
        {StrictModeType::password, "password", QT_TRANSLATE_NOOP("Enums", "Password"), "key",
         QT_TRANSLATE_NOOP(
             "Enums", "Highest security. Share the password with an accountability partner if desired.")},
    }};
    return table;
}

std::span<const EnumRow<OverlayBackgroundType>> EnumTraits<OverlayBackgroundType>::rows()
{
    static constexpr std::array<EnumRow<OverlayBackgroundType>, 4> table{{
        {OverlayBackgroundType::system, "system", QT_TRANSLATE_NOOP("Enums", "System Default"),
         "circle.lefthalf.filled"},
        {OverlayBackgroundType::solid, "solid", QT_TRANSLATE_NOOP("Enums", "Solid Color"), "paintpalette"},
        {OverlayBackgroundType::gradient, "gradient", QT_TRANSLATE_NOOP("Enums", "Gradient"),
         "circle.lefthalf.filled.inverse"},
        {OverlayBackgroundType::image, "image", QT_TRANSLATE_NOOP("Enums", "Custom Image"), "photo"},
    }};
    return table;
}
