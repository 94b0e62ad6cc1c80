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
    Lookup lookup = Lookup::nameAndGlyph;
};

constexpr KeyRow kRows[] = {
    {Key::a, "a", 0, "A"},
    {Key::b, "b", 11, "B"},
    {Key::c, "c", 8, "C"},
    {Key::d, "d", 2, "D"},
    {Key::e, "e", 14, "E"},
    {Key::f, "f", 3, "F"},
    {Key::g, "g", 5, "G"},
    {Key::h, "h", 4, "H"},
    {Key::i, "i", 34, "I"},
    {Key::j, "j", 38, "J"},
    {Key::k, "k", 40, "K"},
    {Key::l, "l", 37, "L"},
    {Key::m, "m", 46, "M"},
    {Key::n, "n", 45, "N"},
    {Key::o, "o", 31, "O"},
    {Key::p, "p", 35, "P"},
    {Key::q, "q", 12, "Q"},
    {Key::r, "r", 15, "R"},
    {Key::s, "s", 1, "S"},
    {Key::t, "t", 17, "T"},
    {Key::u, "u", 32, "U"},
    {Key::v, "v", 9, "V"},
    {Key::w, "w", 13, "W"},
    {Key::x, "x", 7, "X"},
    {Key::y, "y", 16, "Y"},
    {Key::z, "z", 6, "Z"},
    {Key::zero, "zero", 29, "0"},
    {Key::one, "one", 18, "1"},
    {Key::two, "two", 19, "2"},
    {Key::three, "three", 20, "3"},
    {Key::four, "four", 21, "4"},
    {Key::five, "five", 23, "5"},
    {Key::six, "six", 22, "6"},
    {Key::seven, "seven", 26, "7"},
    {Key::eight, "eight", 28, "8"},
    {Key::nine, "nine", 25, "9"},
    {Key::period, "period", 47, "."},
    {Key::quote, "quote", 39, "\""},
    {Key::rightBracket, "rightBracket", 30, "]"},
    {Key::semicolon, "semicolon", 41, ";"},
    {Key::slash, "slash", 44, "/"},
    {Key::backslash, "backslash", 42, "\\"},
    {Key::comma, "comma", 43, ","},
    {Key::equal, "equal", 24, "="},
    {Key::grave, "grave", 50, "`"},
    {Key::leftBracket, "leftBracket", 33, "["},
    {Key::minus, "minus", 27, "-"},
    {Key::section, "section", 10, "\u00A7"},
    {Key::space, "space", 49, "\u2423"},
    {Key::tab, "tab", 48, "\u21E5"},
    {Key::return_, "return", 36, "\u21A9\uFE0E"},
    {Key::command, "command", 55, "\u2318"},
    {Key::rightCommand, "rightCommand", 54, "\u2318", Lookup::nameOnly},
    {Key::option, "option", 58, "\u2325"},
    {Key::rightOption, "rightOption", 61, "\u2325", Lookup::nameOnly},
    {Key::control, "control", 59, "\u2303"},
    {Key::rightControl, "rightControl", 62, "\u2303", Lookup::nameOnly},
    {Key::shift, "shift", 56, "\u21E7"},
    {Key::rightShift, "rightShift", 60, "\u21E7", Lookup::nameOnly},
    {Key::function, "function", 63, "fn"},
    {Key::capsLock, "capsLock", 57, "\u21EA"},
    {Key::pageUp, "pageUp", 116, "\u21DE"},
    {Key::pageDown, "pageDown", 121, "\u21DF"},
    {Key::home, "home", 115, "\u2196"},
    {Key::end, "end", 119, "\u2198"},
    {Key::upArrow, "upArrow", 126, "\u2191"},
    {Key::rightArrow, "rightArrow", 124, "\u2192"},
    {Key::downArrow, "downArrow", 125, "\u2193"},
    {Key::leftArrow, "leftArrow", 123, "\u2190"},
    {Key::f1, "f1", 122, "\uF860F1"},
    {Key::f2, "f2", 120, "\uF860F2"},
    {Key::f3, "f3", 99, "\uF860F3"},
    {Key::f4, "f4", 118, "\uF860F4"},
    {Key::f5, "f5", 96, "\uF860F5"},
    {Key::f6, "f6", 97, "\uF860F6"},
    {Key::f7, "f7", 98, "\uF860F7"},
    {Key::f8, "f8", 100, "\uF860F8"},
    {Key::f9, "f9", 101, "\uF860F9"},
    {Key::f10, "f10", 109, "\uF861F10"},
    {Key::f11, "f11", 103, "\uF861F11"},
    {Key::f12, "f12", 111, "\uF861F12"},
    {Key::f13, "f13", 105, "\uF861F13"},
    {Key::f14, "f14", 107, "\uF861F14"},
    {Key::f15, "f15", 113, "\uF861F15"},
    {Key::f16, "f16", 106, "\uF861F16"},
    {Key::f17, "f17", 64, "\uF861F17"},
    {Key::f18, "f18", 79, "\uF861F18"},
    {Key::f19, "f19", 80, "\uF861F19"},
    {Key::f20, "f20", 90, "\uF861F20"},
    {Key::keypad0, "keypad0", 82, "0", Lookup::nameOnly},
    {Key::keypad1, "keypad1", 83, "1", Lookup::nameOnly},
    {Key::keypad2, "keypad2", 84, "2", Lookup::nameOnly},
    {Key::keypad3, "keypad3", 85, "3", Lookup::nameOnly},
    {Key::keypad4, "keypad4", 86, "4", Lookup::nameOnly},
    {Key::keypad5, "keypad5", 87, "5", Lookup::nameOnly},
    {Key::keypad6, "keypad6", 88, "6", Lookup::nameOnly},
    {Key::keypad7, "keypad7", 89, "7", Lookup::nameOnly},
    {Key::keypad8, "keypad8", 91, "8", Lookup::nameOnly},
    {Key::keypad9, "keypad9", 92, "9", Lookup::nameOnly},
    {Key::keypadClear, "keypadClear", 71, "\u2327"},
    {Key::keypadDecimal, "keypadDecimal", 65, ".", Lookup::nameOnly},
    {Key::keypadDivide, "keypadDivide", 75, "/", Lookup::nameOnly},
    {Key::keypadEnter, "keypadEnter", 76, "\u21A9\uFE0E", Lookup::nameOnly},
    {Key::keypadEquals, "keypadEquals", 81, "=", Lookup::nameOnly},
    {Key::keypadMinus, "keypadMinus", 78, "-", Lookup::nameOnly},
    {Key::keypadMultiply, "keypadMultiply", 67, "\U0001D5D1", Lookup::nameOnly},
    {Key::keypadPlus, "keypadPlus", 69, "+", Lookup::nameOnly},
    {Key::escape, "escape", 53, "\u238B"},
    {Key::delete_, "delete", 51, "\u232B"},
    {Key::forwardDelete, "forwardDelete", 117, "\u2326"},
    {Key::help, "help", 114, "?\u20DD"},
    {Key::volumeUp, "volumeUp", 72, "\U0001F50A"},
    {Key::volumeDown, "volumeDown", 73, "\U0001F509"},
    {Key::mute, "mute", 74, "\U0001F507"},
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

quint32 carbonKeyCode(Key key)
{
    return row(key).code;
}

std::optional<Key> keyFromCarbonKeyCode(quint32 carbonKeyCode)
{
    static const auto byCode = [] {
        std::array<std::optional<Key>, kHighestKeyCode + 1> out{};
        for (const auto &r : kRows)
            out[r.code] = r.key;
        return out;
    }();
    if (carbonKeyCode > kHighestKeyCode)
        return std::nullopt;
    return byCode[carbonKeyCode];
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
