#pragma once
// The glyph artwork of the windows: 16-colour images kept as XPM files in the resources
// folder and compiled into the program. Silver (red, green, blue 192) in the bottom-left
// corner makes silver their transparent colour.

#include "platform/qt/Bitmap.h"

#include <QString>
#include <string_view>

namespace plotalon {

namespace glyph_art {
inline constexpr std::string_view ArrowRight = "arrow_right";   // page buttons
inline constexpr std::string_view Cancel = "cancel";            // "&Abbrechen", "&Schließen"
inline constexpr std::string_view Help = "help";                // "&Hilfe"
inline constexpr std::string_view Save = "save";                // "&Speichern"
inline constexpr std::string_view Minus = "minus";              // steppers, 15 × 15
inline constexpr std::string_view Plus = "plus";                // steppers, 15 × 15
inline constexpr std::string_view CheckBox = "checkbox";        // dialect buttons, 60 × 15
inline constexpr std::string_view FolderOpen = "folder_open";   // folder buttons
inline constexpr std::string_view Envelope = "envelope";        // mail contact
inline constexpr std::string_view Globe = "globe";              // web contact
inline constexpr std::string_view NcOpen = "nc_open";           // "&NC öffnen"
inline constexpr std::string_view HpglConvert = "hpgl_convert"; // "&HPGL erzeugen"
inline constexpr std::string_view HpglSave = "hpgl_save";       // "H&PGL speichern"
inline constexpr std::string_view Settings = "settings";        // "&Einstellungen"
inline constexpr std::string_view ProgramIcon = "program_icon"; // 32 × 32
inline constexpr std::string_view Pause = "pause";              // "&Pause" while sending
inline constexpr std::string_view Preview = "preview";          // "&Vorschau"
inline constexpr std::string_view All[] = {
    ArrowRight, Cancel,     Help,        Save,  Minus,  Plus,
    CheckBox,   FolderOpen, Envelope,    Globe, NcOpen, HpglConvert,
    HpglSave,   Settings,   ProgramIcon, Pause, Preview};
} // namespace glyph_art

// The resource path of a glyph, ":/glyphs/<name>.xpm".
QString GlyphPath(std::string_view name);
// The glyph as a bitmap; raises EFOpenError for an unknown name.
TBitmap LoadGlyph(std::string_view name);

} // namespace plotalon
