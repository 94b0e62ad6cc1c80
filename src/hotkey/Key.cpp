// SPDX-License-Identifier: MIT
#include "Key.h"

#include <QHash>

#include <array>

namespace {

// Whether a key is found by its glyph as well as by its name. The keypad
// digits and operators and the right-hand modifiers share their glyphs with
// other keys and are found by name only.
enum class Lookup { nameAndGlyph, nameOnly };

struct KeyRow
{
    Key key;
    const char *name;
    quint32 code;
    const char *glyph;
    // The XKB keysym and its name; 0 and none for the function key.
    quint32 keysym;
    const char *keysymName;
    Lookup lookup = Lookup::nameAndGlyph;
};

constexpr KeyRow kRows[] = {
    {Key::a, "a", 0, "A", 0x61, "a"},
    {Key::b, "b", 11, "B", 0x62, "b"},
    {Key::c, "c", 8, "C", 0x63, "c"},
    {Key::d, "d", 2, "D", 0x64, "d"},
    {Key::e, "e", 14, "E", 0x65, "e"},
    {Key::f, "f", 3, "F", 0x66, "f"},
    {Key::g, "g", 5, "G", 0x67, "g"},
    {Key::h, "h", 4, "H", 0x68, "h"},
    {Key::i, "i", 34, "I", 0x69, "i"},
    {Key::j, "j", 38, "J", 0x6a, "j"},
    {Key::k, "k", 40, "K", 0x6b, "k"},
    {Key::l, "l", 37, "L", 0x6c, "l"},
    {Key::m, "m", 46, "M", 0x6d, "m"},
    {Key::n, "n", 45, "N", 0x6e, "n"},
    {Key::o, "o", 31, "O", 0x6f, "o"},
    {Key::p, "p", 35, "P", 0x70, "p"},
    {Key::q, "q", 12, "Q", 0x71, "q"},
    {Key::r, "r", 15, "R", 0x72, "r"},
    {Key::s, "s", 1, "S", 0x73, "s"},
    {Key::t, "t", 17, "T", 0x74, "t"},
    {Key::u, "u", 32, "U", 0x75, "u"},
    {Key::v, "v", 9, "V", 0x76, "v"},
    {Key::w, "w", 13, "W", 0x77, "w"},
    {Key::x, "x", 7, "X", 0x78, "x"},
    {Key::y, "y", 16, "Y", 0x79, "y"},
    {Key::z, "z", 6, "Z", 0x7a, "z"},
    {Key::zero, "zero", 29, "0", 0x30, "0"},
    {Key::one, "one", 18, "1", 0x31, "1"},
    {Key::two, "two", 19, "2", 0x32, "2"},
    {Key::three, "three", 20, "3", 0x33, "3"},
    {Key::four, "four", 21, "4", 0x34, "4"},
    {Key::five, "five", 23, "5", 0x35, "5"},
    {Key::six, "six", 22, "6", 0x36, "6"},
    {Key::seven, "seven", 26, "7", 0x37, "7"},
    {Key::eight, "eight", 28, "8", 0x38, "8"},
    {Key::nine, "nine", 25, "9", 0x39, "9"},
    {Key::period, "period", 47, ".", 0x2e, "period"},
    {Key::quote, "quote", 39, "\"", 0x27, "apostrophe"},
    {Key::rightBracket, "rightBracket", 30, "]", 0x5d, "bracketright"},
    {Key::semicolon, "semicolon", 41, ";", 0x3b, "semicolon"},
    {Key::slash, "slash", 44, "/", 0x2f, "slash"},
    {Key::backslash, "backslash", 42, "\\", 0x5c, "backslash"},
    {Key::comma, "comma", 43, ",", 0x2c, "comma"},
    {Key::equal, "equal", 24, "=", 0x3d, "equal"},
    {Key::grave, "grave", 50, "`", 0x60, "grave"},
    {Key::leftBracket, "leftBracket", 33, "[", 0x5b, "bracketleft"},
    {Key::minus, "minus", 27, "-", 0x2d, "minus"},
    {Key::section, "section", 10, "\u00A7", 0xa7, "section"},
    {Key::space, "space", 49, "\u2423", 0x20, "space"},
    {Key::tab, "tab", 48, "\u21E5", 0xff09, "Tab"},
    {Key::return_, "return", 36, "\u21A9\uFE0E", 0xff0d, "Return"},
    {Key::command, "command", 55, "\u2318", 0xffeb, "Super_L"},
    {Key::rightCommand, "rightCommand", 54, "\u2318", 0xffec, "Super_R", Lookup::nameOnly},
    {Key::option, "option", 58, "\u2325", 0xffe9, "Alt_L"},
    {Key::rightOption, "rightOption", 61, "\u2325", 0xffea, "Alt_R", Lookup::nameOnly},
    {Key::control, "control", 59, "\u2303", 0xffe3, "Control_L"},
    {Key::rightControl, "rightControl", 62, "\u2303", 0xffe4, "Control_R", Lookup::nameOnly},
    {Key::shift, "shift", 56, "\u21E7", 0xffe1, "Shift_L"},
    {Key::rightShift, "rightShift", 60, "\u21E7", 0xffe2, "Shift_R", Lookup::nameOnly},
    {Key::function, "function", 63, "fn", 0, nullptr},
    {Key::capsLock, "capsLock", 57, "\u21EA", 0xffe5, "Caps_Lock"},
    {Key::pageUp, "pageUp", 116, "\u21DE", 0xff55, "Prior"},
    {Key::pageDown, "pageDown", 121, "\u21DF", 0xff56, "Next"},
    {Key::home, "home", 115, "\u2196", 0xff50, "Home"},
    {Key::end, "end", 119, "\u2198", 0xff57, "End"},
    {Key::upArrow, "upArrow", 126, "\u2191", 0xff52, "Up"},
    {Key::rightArrow, "rightArrow", 124, "\u2192", 0xff53, "Right"},
    {Key::downArrow, "downArrow", 125, "\u2193", 0xff54, "Down"},
    {Key::leftArrow, "leftArrow", 123, "\u2190", 0xff51, "Left"},
    {Key::f1, "f1", 122, "\uF860F1", 0xffbe, "F1"},
    {Key::f2, "f2", 120, "\uF860F2", 0xffbf, "F2"},
    {Key::f3, "f3", 99, "\uF860F3", 0xffc0, "F3"},
    {Key::f4, "f4", 118, "\uF860F4", 0xffc1, "F4"},
    {Key::f5, "f5", 96, "\uF860F5", 0xffc2, "F5"},
    {Key::f6, "f6", 97, "\uF860F6", 0xffc3, "F6"},
    {Key::f7, "f7", 98, "\uF860F7", 0xffc4, "F7"},
    {Key::f8, "f8", 100, "\uF860F8", 0xffc5, "F8"},
    {Key::f9, "f9", 101, "\uF860F9", 0xffc6, "F9"},
    {Key::f10, "f10", 109, "\uF861F10", 0xffc7, "F10"},
    {Key::f11, "f11", 103, "\uF861F11", 0xffc8, "F11"},
    {Key::f12, "f12", 111, "\uF861F12", 0xffc9, "F12"},
    {Key::f13, "f13", 105, "\uF861F13", 0xffca, "F13"},
    {Key::f14, "f14", 107, "\uF861F14", 0xffcb, "F14"},
    {Key::f15, "f15", 113, "\uF861F15", 0xffcc, "F15"},
    {Key::f16, "f16", 106, "\uF861F16", 0xffcd, "F16"},
    {Key::f17, "f17", 64, "\uF861F17", 0xffce, "F17"},
    {Key::f18, "f18", 79, "\uF861F18", 0xffcf, "F18"},
    {Key::f19, "f19", 80, "\uF861F19", 0xffd0, "F19"},
    {Key::f20, "f20", 90, "\uF861F20", 0xffd1, "F20"},
    {Key::keypad0, "keypad0", 82, "0", 0xffb0, "KP_0", Lookup::nameOnly},
    {Key::keypad1, "keypad1", 83, "1", 0xffb1, "KP_1", Lookup::nameOnly},
    {Key::keypad2, "keypad2", 84, "2", 0xffb2, "KP_2", Lookup::nameOnly},
    {Key::keypad3, "keypad3", 85, "3", 0xffb3, "KP_3", Lookup::nameOnly},
    {Key::keypad4, "keypad4", 86, "4", 0xffb4, "KP_4", Lookup::nameOnly},
    {Key::keypad5, "keypad5", 87, "5", 0xffb5, "KP_5", Lookup::nameOnly},
    {Key::keypad6, "keypad6", 88, "6", 0xffb6, "KP_6", Lookup::nameOnly},
    {Key::keypad7, "keypad7", 89, "7", 0xffb7, "KP_7", Lookup::nameOnly},
    {Key::keypad8, "keypad8", 91, "8", 0xffb8, "KP_8", Lookup::nameOnly},
    {Key::keypad9, "keypad9", 92, "9", 0xffb9, "KP_9", Lookup::nameOnly},
    {Key::keypadClear, "keypadClear", 71, "\u2327", 0xff0b, "Clear"},
    {Key::keypadDecimal, "keypadDecimal", 65, ".", 0xffae, "KP_Decimal", Lookup::nameOnly},
    {Key::keypadDivide, "keypadDivide", 75, "/", 0xffaf, "KP_Divide", Lookup::nameOnly},
    {Key::keypadEnter, "keypadEnter", 76, "\u21A9\uFE0E", 0xff8d, "KP_Enter", Lookup::nameOnly},
    {Key::keypadEquals, "keypadEquals", 81, "=", 0xffbd, "KP_Equal", Lookup::nameOnly},
    {Key::keypadMinus, "keypadMinus", 78, "-", 0xffad, "KP_Subtract", Lookup::nameOnly},
    {Key::keypadMultiply, "keypadMultiply", 67, "\U0001D5D1", 0xffaa, "KP_Multiply", Lookup::nameOnly},
    {Key::keypadPlus, "keypadPlus", 69, "+", 0xffab, "KP_Add", Lookup::nameOnly},
    {Key::escape, "escape", 53, "\u238B", 0xff1b, "Escape"},
    {Key::delete_, "delete", 51, "\u232B", 0xff08, "BackSpace"},
    {Key::forwardDelete, "forwardDelete", 117, "\u2326", 0xffff, "Delete"},
    {Key::help, "help", 114, "?\u20DD", 0xff6a, "Help"},
    {Key::volumeUp, "volumeUp", 72, "\U0001F50A", 0x1008ff13, "XF86AudioRaiseVolume"},
    {Key::volumeDown, "volumeDown", 73, "\U0001F509", 0x1008ff11, "XF86AudioLowerVolume"},
    {Key::mute, "mute", 74, "\U0001F507", 0x1008ff12, "XF86AudioMute"},
};
static_assert(std::size(kRows) == kKeyCount);

// Further spellings some keys accept besides their name and glyph.
struct KeyAlias
{
    Key key;
    const char *text;
};

constexpr KeyAlias kAliases[] = {
    {Key::space, " "},        {Key::tab, "\t"},         {Key::return_, "\r"},
    {Key::return_, "\u23CE"}, {Key::return_, "\u2B90"}, {Key::grave, "\u02CB"},
    {Key::grave, "\uFF40"},   {Key::command, "\uF8FF"}, // the private-use Apple logo
};

constexpr quint32 kHighestKeyCode = 126;

const KeyRow &row(Key key)
{
    return kRows[static_cast<int>(key)];
}

} // namespace

std::span<const EnumRow<Key>> EnumTraits<Key>::rows()
{
    static const auto table = [] {
        std::array<EnumRow<Key>, kKeyCount> out{};
        for (int i = 0; i < kKeyCount; ++i)
            out[i] = {kRows[i].key, kRows[i].name, kRows[i].glyph, "", kRows[i].glyph};
        return out;
    }();
    return table;
}

quint32 virtualKeyCode(Key key)
{
    return row(key).code;
}

std::optional<Key> keyFromVirtualKeyCode(quint32 keyCode)
{
    static const auto byCode = [] {
        std::array<std::optional<Key>, kHighestKeyCode + 1> out{};
        for (const auto &r : kRows)
            out[r.code] = r.key;
        return out;
    }();
    if (keyCode > kHighestKeyCode)
        return std::nullopt;
    return byCode[keyCode];
}

std::optional<XkbKeysym> xkbKeysym(Key key)
{
    const KeyRow &r = row(key);
    if (!r.keysym)
        return std::nullopt;
    return XkbKeysym{r.keysym, r.keysymName};
}

std::optional<Key> keyFromString(QStringView text)
{
    // Everything is compared in lower case, the glyphs too, so that each
    // key's description reads back as the key ("A" -> a, "\uF860F1" -> f1).
    static const auto bySpelling = [] {
        QHash<QString, Key> out;
        for (const auto &r : kRows) {
            out.insert(QString::fromLatin1(r.name).toLower(), r.key);
            if (r.lookup == Lookup::nameAndGlyph)
                out.insert(QString::fromUtf8(r.glyph).toLower(), r.key);
        }
        for (const auto &alias : kAliases)
            out.insert(QString::fromUtf8(alias.text), alias.key);
        return out;
    }();
    const auto found = bySpelling.constFind(text.toString().toLower());
    if (found == bySpelling.constEnd())
        return std::nullopt;
    return *found;
}
