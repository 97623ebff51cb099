#pragma once
// Byte text to screen text, and the "&" accelerator convention of captions.

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plotalon {

// Windows-1252 bytes as shown on screen: one byte, one character.
QString FromAnsi(std::string_view bytes);
// The reverse; characters outside Windows-1252 become '?'.
std::string ToAnsi(const QString& text);
// The reverse without any change: nothing when a character is outside Windows-1252.
std::optional<std::string> ToAnsiExact(const QString& text);
// Byte text as plain text for other programs of the desktop (clipboard, drag and drop): up
// to its first zero byte, where the system's text format ends, and with every line break
// (CR LF, CR or LF) written as the desktop writes them, LF, so that a terminal or another
// editor gets no stray CR at every line.
QString DesktopPlainText(std::string_view bytes);
// Message texts are UTF-8 in the sources; a message that is not valid UTF-8 (a file
// name read from disk, say) is taken as Windows-1252 so that no byte is lost.
QString FromMessage(std::string_view bytes);

// One caption line with its ampersands processed: a single "&" is dropped and underlines
// the next character, "&&" stands for one "&".
struct TAccelText {
    QString text;
    std::vector<int> underlined; // positions in text
};
TAccelText StripAccelerators(const QString& caption);

// The accelerator of a caption: the character after the last single "&"; QChar() when
// there is none.
QChar AcceleratorOf(const QString& caption);
// Whether ch is the caption's accelerator, letters compared without regard to case.
bool IsAccelerator(QChar ch, const QString& caption);

} // namespace plotalon
