#include "Enums.h"

#include <array>

std::span<const EnumRow<LockMode>> EnumTraits<LockMode>::rows()
{
    static constexpr std::array<EnumRow<LockMode>, 3> table{{
        {LockMode::hideApps, "hideApps", "Hide Apps", "eye.slash"},
        {LockMode::preventLaunch, "preventLaunch", "Prevent Launch", "lock"},
        {LockMode::overlay, "overlay", "Overlay", "rectangle.on.rectangle"},
    }};
    return table;
}

std::span<const EnumRow<StrictModeType>> EnumTraits<StrictModeType>::rows()
{
    static constexpr std::array<EnumRow<StrictModeType>, 4> table{{
        {StrictModeType::none, "none", "None", "checkmark.circle", ""},
        {StrictModeType::sentence, "sentence", "Sentence Typing", "text.quote",
         "Recommended for spiritual/meaningful focus. Type a personal commitment to prove you're serious."},
        {StrictModeType::math, "math", "Math Problem", "number",
         "Good for general focus. Requires mental effort to solve, discouraging impulse quits."},
        {StrictModeType::password, "password", "Password", "key",
         "Highest security. Share the password with an accountability partner if desired."},
    }};
    return table;
}

std::span<const EnumRow<OverlayBackgroundType>> EnumTraits<OverlayBackgroundType>::rows()
{
    static constexpr std::array<EnumRow<OverlayBackgroundType>, 4> table{{
        {OverlayBackgroundType::system, "system", "System Default", "circle.lefthalf.filled"},
        {OverlayBackgroundType::solid, "solid", "Solid Color", "paintpalette"},
        {OverlayBackgroundType::gradient, "gradient", "Gradient", "circle.lefthalf.filled.inverse"},
        {OverlayBackgroundType::image, "image", "Custom Image", "photo"},
    }};
    return table;
}
